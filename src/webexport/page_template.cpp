#include "webexport/page_template.h"

#include <stdexcept>

#include "webexport/html.h"

namespace webexport {
namespace {

// The navigation cell of race n; the same twelve cells stand above and below the race card.
#define WEBEXPORT_NAV(n)                                                                                             \
    {8,                                                                                                              \
     "<td class=\"{RaceNavClass" #n "}\"><a href=\"{SiteBase}/expectation/{Year}{MonthDay}_{CourseRomaji}_r" #n     \
     ".html\" title=\"" #n "R\">" #n "R</a></td>",                                                                   \
     false}

constexpr std::array<TemplateRow, kTemplateRows> kRows{{
    /*   1 */ {0, "<!DOCTYPE html>", true},
    /*   2 */ {0, "<html>", false},
    /*   3 */ {0, "<head>", false},
    /*   4 */ {0, "<meta charset=\"UTF-8\">", false},
    /*   5 */ {0, "<meta name=\"Keywords\" content=\"無料競馬予想,無料予想,競馬,競馬予想\">", false},
    /*   6 */ {0, "<meta name=\"Description\" content=\"毎週開催されるJRA競馬1R～3Rまでの競馬予想を無料で公開！稀に全レースを公開することも！？\">", false},
    /*   7 */ {0, "<title>無料競馬予想｜{CourseName}｜{PageKaiji}回{CourseName}{PageNichiji}日｜{PageRaceNo}R</title>", false},
    /*   8 */ {0, "<link rel=\"stylesheet\" type=\"text/css\" href=\"../css/common.css\">", false},
    /*   9 */ {0, "<link rel=\"shortcut icon\" href=\"../images/favicon.png\">", false},
    /*  10 */ {0, "</head>", false},
    /*  11 */ {0, "<body>", true},
    /*  12 */ {0, "<div id=\"wraptop\">", false},
    /*  13 */ {1, "<div id=\"header_bk\">", false},
    /*  14 */ {2, "<div id=\"header\">", false},
    /*  15 */ {2, "<h1>無料競馬予想｜{CourseName}｜{PageKaiji}回{CourseName}{PageNichiji}日｜{PageRaceNo}R</h1>", false},
    /*  16 */ {4, "<div id=\"logo\">", false},
    /*  17 */ {5, "<a href=\"/\"><img class=\"bdrad bdweb bdmoz\" src=\"../images/logo.png\" alt=\"タルネルパディ\" width=\"316\" height=\"100\"></a>", false},
    /*  18 */ {4, "</div><!--// logo-->", false},
    /*  19 */ {5, "<div id=\"globalnavi\">", false},
    /*  20 */ {9, "<ul>", false},
    /*  21 */ {9, "<li><a href=\"{SiteBase}/expectation\" class=\"fS11 bggray\" title=\"競馬予想\">競馬予想</a></li>", false},
    /*  22 */ {9, "<li><a href=\"{SiteBase}/game\" class=\"fS11\" title=\"競馬ゲーム\">競馬ゲーム</a></li>", false},
    /*  23 */ {9, "<li><a href=\"{SiteBase}/bet\" class=\"fS10\" title=\"馬券の買い方\">馬券の買い方</a></li>", false},
    /*  24 */ {9, "<li><a href=\"{SiteBase}/horse_race\" class=\"fS11\" title=\"競馬\">競馬</a></li>", false},
    /*  25 */ {9, "<li><a href=\"{SiteBase}/theory\" class=\"fS11\" title=\"競馬理論\">競馬理論</a></li>", false},
    /*  26 */ {9, "<li><a href=\"{SiteBase}/horse\" class=\"fS11\" title=\"競走馬\">競走馬</a></li>", false},
    /*  27 */ {9, "<li><a href=\"{SiteBase}/jockey\" class=\"fS11\" title=\"騎手\">騎手</a></li>", false},
    /*  28 */ {9, "<li><a href=\"{SiteBase}/track\" class=\"fS11\" title=\"競馬場\">競馬場</a></li>", false},
    /*  29 */ {9, "<li><a href=\"{SiteBase}/state\" class=\"fS11\" title=\"馬場状態\">馬場状態</a></li>", false},
    /*  30 */ {9, "</ul>", false},
    /*  31 */ {5, "</div><!--// globalnavi-->", false},
    /*  32 */ {3, "</div><!--// header-->", false},
    /*  33 */ {2, "</div><!--// header_bk-->", true},
    /*  34 */ {2, "<div id=\"container_bk\" class=\"pb30\">", false},
    /*  35 */ {3, "<div id=\"container\">", true},
    /*  36 */ {0, "<div id=\"pan\"><a href=\"/\">ホーム</a>&nbsp;/&nbsp;<a href=\"{SiteBase}/expectation\">競馬予想</a>&nbsp;/&nbsp;{CourseName}</div><!--// pan-->", true},
    /*  37 */ {0, "<div id=\"maincol\" class=\"clear\">", false},
    /*  38 */ {0, "<!-- 本文はここから始まっています -->", false},
    /*  39 */ {0, "<h2 class=\"b f18\"><img src=\"../images/subicon.png\" align=\"left\">無料競馬予想</h2>", false},
    /*  40 */ {0, "<p class=\"mt10 ml8 lh20\">", false},
    /*  41 */ {0, "<b>{Year}年{PageMonth}月{PageDay}日({PageWeekday})</b>", false},
    /*  42 */ {0, "</p>", false},
    /*  43 */ {0, "<div id=\"yosounavi\">", false},
    /*  44 */ {5, "<ul>", false},
    /*  45 */ {9, "<li><a href=\"{SiteBase}/expectation/{Year}{MonthDay}_nakayama.html\" class=\"\"></a></li>", false},
    /*  46 */ {9, "<li><a href=\"{SiteBase}/expectation/{Year}{MonthDay}_hanshin.html\" class=\"\"></a></li>", false},
    /*  47 */ {9, "<li><a href=\"{SiteBase}/expectation/{Year}{MonthDay}_chukyo.html\" class=\"\"></a></li>", false},
    /*  48 */ {5, "</ul>", false},
    /*  49 */ {0, "</div><!--// yosounavi-->", true},
    /*  50 */ {0, "<table class=\"raceList\">", false},
    /*  51 */ {4, "<tr>", false},
    /*  52 */ WEBEXPORT_NAV(1),
    /*  53 */ WEBEXPORT_NAV(2),
    /*  54 */ WEBEXPORT_NAV(3),
    /*  55 */ WEBEXPORT_NAV(4),
    /*  56 */ WEBEXPORT_NAV(5),
    /*  57 */ WEBEXPORT_NAV(6),
    /*  58 */ WEBEXPORT_NAV(7),
    /*  59 */ WEBEXPORT_NAV(8),
    /*  60 */ WEBEXPORT_NAV(9),
    /*  61 */ WEBEXPORT_NAV(10),
    /*  62 */ WEBEXPORT_NAV(11),
    /*  63 */ WEBEXPORT_NAV(12),
    /*  64 */ {4, "</tr>", false},
    /*  65 */ {0, "</table>", true},
    /*  66 */ {0, "<p class=\"mt5 ml8 lh20\">", false},
    /*  67 */ {0, "<b>{PageRaceNo}R<br />", false},
    /*  68 */ {0, "&nbsp;&nbsp;&nbsp;{TrackText}&nbsp;&nbsp;&nbsp;{DistanceText}m&nbsp;&nbsp;&nbsp;発走&nbsp;{PostHour}：{PostMinute}<br /><br />", false},
    /*  69 */ {0, "<img src=\"../images/arrow.png\" alt=\"arrow\">予想・買い目</b>", false},
    /*  70 */ {0, "</p>", false},
    /*  71 */ {0, "<table class=\"yosouList\">", false},
    /*  72 */ {4, "<tr>", false},
    /*  73 */ {8, "<th bgcolor=\"#DCDCDC\">単勝・複勝</th>", false},
    /*  74 */ {8, "<td>出馬表の予想順位を参考にして下さい</td>", false},
    /*  75 */ {4, "</tr>", false},
    /*  76 */ {4, "<tr>", false},
    /*  77 */ {8, "<th bgcolor=\"#DCDCDC\">馬連・馬単</th>", false},
    /*  78 */ {8, "<td>{PairTickets}</td>", false},
    /*  79 */ {4, "</tr>", false},
    /*  80 */ {4, "<tr>", false},
    /*  81 */ {8, "<th bgcolor=\"#DCDCDC\">３連複・３連単</th>", false},
    /*  82 */ {8, "<td>{TrioTickets}</td>", false},
    /*  83 */ {4, "</tr>", false},
    /*  84 */ {0, "</table>", false},
    /*  85 */ {0, "<p class=\"mt10 ml8 lh20\">", false},
    /*  86 */ {0, "<img src=\"../images/arrow.png\" alt=\"arrow\"><b>出馬表</b>", false},
    /*  87 */ {0, "</p>", false},
    /*  88 */ {0, "<table class=\"raceDetail\">", false},
    /*  89 */ {0, "<tr>", false},
    /*  90 */ {4, "<th>枠</th>", false},
    /*  91 */ {4, "<th>馬番</th>", false},
    /*  92 */ {4, "<th bgcolor=\"#FFD700\">予想</th>", false},
    /*  93 */ {4, "<th>馬名</th>", false},
    /*  94 */ {4, "<th>性齢</th>", false},
    /*  95 */ {4, "<th>負担重量</th>", false},
    /*  96 */ {4, "<th>騎手</th>", false},
    /*  97 */ {4, "<th>調教師</th>", false},
    /*  98 */ {0, "</tr>", false},
    /*  99 */ {0, "<tr>", false},
    // The white font is closed again, so that the markup stays balanced.
    /* 100 */ {3, "<td class=\"{GateClass}\">{GateFont}<b>{GateText}</b>{GateFontEnd}</td>", false},
    /* 101 */ {3, "<td>{HorseNo}</td>", false},
    /* 102 */ {3, "<td>{RankText}</td>", false},
    /* 103 */ {3, "<td>{HorseName}</td>", false},
    /* 104 */ {3, "<td>{Sex}{AgeText}</td>", false},
    /* 105 */ {3, "<td>{Weight}kg</td>", false},
    /* 106 */ {3, "<td>{Jockey}</td>", false},
    /* 107 */ {3, "<td>{Trainer}</td>", false},
    /* 108 */ {0, "</tr>", false},
    /* 109 */ {0, "</table>", false},
    /* 110 */ {0, "<table class=\"raceList\">", false},
    /* 111 */ {4, "<tr>", false},
    /* 112 */ WEBEXPORT_NAV(1),
    /* 113 */ WEBEXPORT_NAV(2),
    /* 114 */ WEBEXPORT_NAV(3),
    /* 115 */ WEBEXPORT_NAV(4),
    /* 116 */ WEBEXPORT_NAV(5),
    /* 117 */ WEBEXPORT_NAV(6),
    /* 118 */ WEBEXPORT_NAV(7),
    /* 119 */ WEBEXPORT_NAV(8),
    /* 120 */ WEBEXPORT_NAV(9),
    /* 121 */ WEBEXPORT_NAV(10),
    /* 122 */ WEBEXPORT_NAV(11),
    /* 123 */ WEBEXPORT_NAV(12),
    /* 124 */ {4, "</tr>", false},
    /* 125 */ {0, "</table>", true},
    /* 126 */ {0, "<!--// maincol--></div>", true},
    // The link around the image is closed at once, so that it does not run over the rest of the page.
    /* 127 */ {0, "<div id=\"subnav\"><a href=\"{SiteBase}/expectation\"><img src=\"../images/links_expectation.png\" width=\"200\" height=\"50\" alt=\"競馬予想\"></a>", false},
    /* 128 */ {0, "<div id=\"subnavTitle\"></div>", false},
    /* 129 */ {4, "<ul>", false},
    /* 130 */ {8, "<li><a href=\"{SiteBase}/expectation/charge.html\">競馬予想(有料版)</a></li>", false},
    /* 131 */ {8, "<li><a href=\"{SiteBase}/expectation/free.html\">競馬予想(一部無料版)</a></li>", false},
    /* 132 */ {8, "<li><a href=\"{SiteBase}/expectation/database.html\">競馬予想(過去分)</a></li>", false},
    /* 133 */ {8, "<li><a href=\"{SiteBase}/expectation/hitlist.html\">的中情報</a></li>", false},
    /* 134 */ {4, "</ul>", false},
    /* 135 */ {0, "</div><!--// subnav-->", true},
    /* 136 */ {0, "<div id=\"submenu_ad1\">", false},
    /* 137 */ {0, "{SideAdFragment}", false},
    /* 138 */ {0, "</div><!--// submenu_ad1-->", false},
    /* 139 */ {0, "<div id=\"mainad\">", false},
    /* 140 */ {0, "{MainAdFragment}", false},
    /* 141 */ {0, "</div><!--// mainad-->", true},
    /* 142 */ {8, "</div><!--// container-->", false},
    /* 143 */ {4, "</div><!--// container_bk-->", true},
    /* 144 */ {4, "<div id=\"footer_bk\">", false},
    /* 145 */ {8, "<div id=\"footer\">", false},
    // Without a contact address the お問い合わせ link and its "┃" are left out ({ContactLink}).
    /* 146 */ {12, "<p class=\"b copyright\">┃<a href=\"{SiteBase}/info/kiyaku.html\">運営者・規約</a>┃<a href=\"{SiteBase}/info/link.html\">リンク</a>┃<a href=\"{SiteBase}/info/links.html\">相互リンク</a>┃{ContactLink}<br />", false},
    /* 147 */ {12, "<br />{FooterNotice}</p>", false},
    /* 148 */ {8, "</div><!--// footer-->", false},
    /* 149 */ {4, "</div><!--// footer_bk-->", true},
    /* 150 */ {0, "</div><!--// wraptop-->", true},
    /* 151 */ {0, "{AnalyticsFragment}", true},
    /* 152 */ {0, "</body>", false},
    /* 153 */ {0, "</html>", false},
}};

#undef WEBEXPORT_NAV

const std::string* Find(const Placeholders& values, std::string_view name) {
    for (const auto& [key, value] : values)
        if (key == name) return &value;
    return nullptr;
}

void Line(std::string& out, std::string_view text) {
    out += text;
    out += "\r\n";
}

}  // namespace

const TemplateRow& PageTemplateRow(int row) {
    if (row < 1 || row > kTemplateRows) throw std::out_of_range("page template row " + std::to_string(row));
    return kRows[static_cast<std::size_t>(row - 1)];
}

void AppendRow(std::string& out, int row, const Placeholders& values) {
    const TemplateRow& r = PageTemplateRow(row);
    // A fragment row writes the fragment's own lines, and nothing at all when it has none.
    if (row == kSideAdRow || row == kMainAdRow || row == kAnalyticsRow) {
        const std::string_view name = r.Text.substr(1, r.Text.size() - 2);
        const std::string* fragment = Find(values, name);
        if (!fragment) throw std::logic_error("page template: no value for {" + std::string(name) + "}");
        if (fragment->empty()) return;
        out += *fragment;
        if (r.EmptyLineAfter) out += "\r\n";
        return;
    }
    AppendRowText(out, r, values);
}

void AppendRowText(std::string& out, const TemplateRow& r, const Placeholders& values) {
    out.append(static_cast<std::size_t>(r.Blanks), ' ');
    std::string_view text = r.Text;
    for (auto open = text.find('{'); open != std::string_view::npos; open = text.find('{')) {
        const auto close = text.find('}', open);
        if (close == std::string_view::npos) break;
        out += text.substr(0, open);
        const std::string_view name = text.substr(open + 1, close - open - 1);
        const std::string* value = Find(values, name);
        if (!value) throw std::logic_error("page template: no value for {" + std::string(name) + "}");
        out += *value;
        text.remove_prefix(close + 1);
    }
    out += text;
    out += "\r\n";
    if (r.EmptyLineAfter) out += "\r\n";
}

namespace {

// The side and the main advertisement differ only in their slot and size.
std::string AdFragment(const SiteConfig& config, const std::string& slot, std::string_view width,
                       std::string_view height) {
    std::string out;
    Line(out, "<script type=\"text/javascript\">");
    Line(out, "var ad_unit = {");
    Line(out, "  client: \"" + config.AdClientId + "\",");
    Line(out, "  slot: \"" + slot + "\",");
    Line(out, "  width: " + std::string(width) + ",");
    Line(out, "  height: " + std::string(height));
    Line(out, "};");
    Line(out, "window.ad_units = window.ad_units || [];");
    Line(out, "window.ad_units.push(ad_unit);");
    Line(out, "</script>");
    Line(out, "<script type=\"text/javascript\" async src=\"" + EscapeHtml(config.AdScriptUrl) + "\"></script>");
    return out;
}

}  // namespace

std::string SideAdFragment(const SiteConfig& config) {
    return config.HasSideAd() ? AdFragment(config, config.AdSlotSide, "160", "600") : std::string();
}

std::string MainAdFragment(const SiteConfig& config) {
    return config.HasMainAd() ? AdFragment(config, config.AdSlotMain, "728", "90") : std::string();
}

std::string AnalyticsFragment(const SiteConfig& config) {
    if (!config.HasAnalytics()) return {};
    std::string out;
    Line(out, "<!-- Web analytics -->");
    Line(out, "<script type=\"text/javascript\" src=\"" + EscapeHtml(config.AnalyticsScriptUrl) + "\"></script>");
    Line(out, "<script type=\"text/javascript\">");
    Line(out, "try {");
    Line(out, "  var tracker = window.analytics.getTracker(\"" + config.AnalyticsTrackerId + "\");");
    Line(out, "  tracker.trackPageView();");
    Line(out, "} catch (err) {");
    Line(out, "  window.analytics_failed = true;");
    Line(out, "}");
    Line(out, "</script>");
    Line(out, "<!-- Web analytics -->");
    return out;
}

}  // namespace webexport
