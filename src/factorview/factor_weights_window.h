#pragma once

#include <array>
#include <vector>

#include <QWidget>

#include "common/host.h"
#include "engine/model_tables.h"
#include "engine/surface.h"
#include "factorview/factor_design.h"
#include "factorview/factor_weights.h"

class QChartView;
class QPlainTextEdit;

namespace ui {
class FlexGrid;
class TabRows;
}  // namespace ui

namespace factorview {

/// A factor-weight window (FactorTURFZP, FactorDIRTZP or FactorHURDZP): the model of one surface
/// in thirty item grids, a legend, two age charts and the help boxes, filled once while it loads.
/// It has no operation of its own; closing it destroys it.
class FactorWeightsWindow final : public QWidget {
    Q_OBJECT

public:
    /// Builds the window of `surface` and shows `tables` in it (its load), before it is first shown.
    FactorWeightsWindow(engine::Surface surface, engine::ModelTables tables);

private:
    void BuildControls();
    void BuildAgeTab(QWidget* page);
    /// A help box below `above`, empty until the load writes it.
    QPlainTextEdit* AddHelpBox(QWidget* page, const HelpBox& box, const QWidget* above, int pageWidth, int pageHeight);
    void ShowFactorWeights();
    /// The legend grid sized to show every cell whole, the window grown to hold it.
    void FitLegend();
    void FillAgeChart(QChartView* chart, AgeSex sex);
    void WriteHelpText(int pageTab);

    const SurfaceDesign& design_;
    engine::ModelTables tables_;

    ui::TabRows* SSTab1 = nullptr;
    ui::TabRows* ageTabs_ = nullptr;  // SSTab3, hurdle SSTab5
    ui::FlexGrid* legend_ = nullptr;
    std::array<ui::FlexGrid*, engine::kItemCount> grids_{};
    QChartView* maleChart_ = nullptr;
    QChartView* femaleChart_ = nullptr;
    std::array<QPlainTextEdit*, engine::kItemCount> boxes_{};  // page of tab k: [k - 1]
    QPlainTextEdit* gridPageBox_ = nullptr;
};

/// The main menu's buttons "芝予想因子ウエイト", "ダート予想因子ウエイト" and "障害予想因子ウエイト":
/// the single window of the surface. One that is open is brought forward unchanged; otherwise the
/// model is read afresh and a new window loads it and shows, modeless and without an owner. A
/// model that cannot be read is told through `host` (naming the file and the reason) and no
/// window opens: nullptr.
FactorWeightsWindow* OpenFactorWeights(engine::Surface surface, common::Host& host);

}  // namespace factorview
