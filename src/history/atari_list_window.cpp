#include "history/atari_list_window.h"

#include <QLabel>

#include "ui/flex_grid.h"
#include "ui/window_controls.h"

namespace history {

namespace {

constexpr std::string_view kNote =
    "的中目はタイム合計法（指数和）で求めています。馬連・馬単は6点区切り、3連複は7点区切り、3連単は42点区切りの3区分（本・準・伏）です。";

}  // namespace

TekichuListVK31::TekichuListVK31(common::Host& host, QWidget* parent) : QWidget(parent, Qt::Window), host_(host) {
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    Form_Load();
}

void TekichuListVK31::BuildControls() {
    setObjectName(QStringLiteral("TekichuListVK31"));
    setWindowTitle(ui::Qs("万馬券的中リスト　Ver.2024.8.12A"));
    ui::UseWindowFont(*this);
    resize(1290, 760);
    Label1 = ui::AddLabel(this, "Label1", kNote, QRect(10, 8, 1270, 40), ui::LabelWrap::Words);
    tekichuFG = new ui::FlexGrid(this, "tekichuFG", kAtariGridRows, kAtariGridCols, QRect(10, 52, 1270, 698));
}

// The whole pass runs inside the load, before the window shows.
void TekichuListVK31::Form_Load() {
    loaded_ = CollectAtariList(host_, [this] { host_.pumpEvents(); });
    tekichuFG->Apply(std::move(loaded_.tekichuFG));
    loaded_.tekichuFG = common::GridCells();
}

}  // namespace history
