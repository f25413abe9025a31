#pragma once

#include <cstdint>
#include <memory>

#include <QWidget>

#include "acquisition/download_starter.h"
#include "common/host.h"
#include "dataservice/jvlink.h"

class QPlainTextEdit;
class QPushButton;

namespace acquisition {

/// This week's odds window: fetches the week's quinella, exacta and trio odds (Command2) and the
/// trifecta odds (Command3) on its own data-service control, following a download with the
/// progress window over its own download count and result flag. It does nothing while loading.
/// Closing it unloads it (the main menu makes a new one at the next opening).
class TLMFOTHISWEEKNVK31 final : public QWidget {
    Q_OBJECT

public:
    /// `host` shows the message boxes (the main menu).
    explicit TLMFOTHISWEEKNVK31(common::Host& host, QWidget* parent = nullptr);
    ~TLMFOTHISWEEKNVK31() override;

    // The progress window follows these while a download runs.
    std::int32_t DownloadCount = 0;
    std::int16_t DialogResult = 0;

    /// Tests put a scripted data service in place of the stand-in, and a fake in place of the
    /// download-progress window.
    void SetJVLink(std::unique_ptr<dataservice::JVLink> link) { JVLink1 = std::move(link); }
    void SetProgressRunner(ProgressRunner runner) { runProgress_ = std::move(runner); }

private:
    void BuildControls();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void SetText1(std::string_view text);
    DownloadStarter Starter();

    common::Host& host_;
    std::unique_ptr<dataservice::JVLink> JVLink1;
    ProgressRunner runProgress_;

    QPlainTextEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
};

}  // namespace acquisition
