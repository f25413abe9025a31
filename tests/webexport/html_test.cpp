#include "webexport/html.h"

#include <gtest/gtest.h>

namespace {

TEST(EscapeHtml, MarkupCharactersBecomeReferences) {
    EXPECT_EQ(webexport::EscapeHtml("<b>&\"</script>"), "&lt;b&gt;&amp;&quot;&lt;/script&gt;");
    EXPECT_EQ(webexport::EscapeHtml("&amp;"), "&amp;amp;");
    EXPECT_EQ(webexport::EscapeHtml("中山 'x'"), "中山 'x'");
    EXPECT_EQ(webexport::EscapeHtml(""), "");
}

}  // namespace
