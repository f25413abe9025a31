#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QColor>
#include <QRect>
#include <QWidget>

#include "common/host.h"

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace app {

/// A 0x00BBGGRR colour value as a Qt colour.
QColor ColourFromBgr(std::uint32_t bgr);

/// The main menu: launcher of the weekly steps and the status board that every step writes into.
/// It is also the Host through which core code reaches the user.
class TLMF1THISWEEKNVK31 final : public QWidget, public common::Host {
    Q_OBJECT

public:
    /// Live: message boxes are modal, programs and web pages really start. Recorded: they are only
    /// written down (RecordedMessages, RecordedStarts), so that tests never block on a modal box.
    enum class Interaction { Live, Recorded };

    /// Builds the window and runs its load (the start-up) before it is first shown; AppFolder must
    /// be set already.
    explicit TLMF1THISWEEKNVK31(Interaction interaction = Interaction::Live, QWidget* parent = nullptr);

    // Read and written by the step windows.
    std::int16_t ZansaFlag = 0;
    std::int16_t DialogResult = 0;
    std::int32_t DownloadCount = 0;

    // common::Host
    void messageBox(std::string_view text) override;
    void setStatus(common::StatusBox box, std::string_view text) override;
    void setLabelColour(std::uint32_t colour) override;
    void pumpEvents() override;
    std::chrono::year_month_day today() override;
    void startProgram(const std::filesystem::path& program) override;
    void openUrl(std::string_view url) override;

    const std::vector<std::string>& RecordedMessages() const { return recordedMessages_; }
    /// Programs and web addresses that would have been started, in order.
    const std::vector<std::string>& RecordedStarts() const { return recordedStarts_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void Form_Load();
    [[noreturn]] void Picture1_Click();

    QPushButton* AddButton(QWidget* parent, const char* name, const char* caption, QRect geometry);
    QPlainTextEdit* AddStatusBox(QWidget* parent, const char* name, QRect geometry);
    QGroupBox* AddFrame(const char* name, const char* caption, QRect geometry);

    Interaction interaction_;
    std::vector<std::string> recordedMessages_;
    std::vector<std::string> recordedStarts_;

    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command7 = nullptr;
    QPushButton* Command8 = nullptr;
    QPushButton* Command9 = nullptr;
    QPushButton* Command10 = nullptr;
    QPushButton* Command11 = nullptr;
    QPushButton* Command12 = nullptr;
    QPushButton* Command13 = nullptr;
    QPushButton* Command14 = nullptr;
    QPushButton* Command15 = nullptr;
    QPushButton* Command16 = nullptr;
    QRadioButton* Option1 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QPlainTextEdit* Text2 = nullptr;
    QPlainTextEdit* Text3 = nullptr;
    QPlainTextEdit* Text4 = nullptr;
    QPlainTextEdit* Text5 = nullptr;
    QPlainTextEdit* Text6 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Picture1 = nullptr;
};

}  // namespace app
