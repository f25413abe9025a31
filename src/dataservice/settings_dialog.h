#pragma once

#include <cstddef>
#include <memory>

#include <QDialog>

#include "dataservice/local_jvlink.h"
#include "dataservice/local_settings.h"

class QDialogButtonBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;

// The stand-in data service's settings dialog, shown by JVSetUIProperties: the folder it serves
// from and the pace of its simulated download.
namespace dataservice {

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit SettingsDialog(const LocalSettings& settings, QWidget* parent = nullptr);

    /// The values as the controls show them now.
    LocalSettings Settings() const;

private:
    void Browse();

    QLineEdit* rootEdit_;
    QPushButton* browseButton_;
    QDoubleSpinBox* paceSpin_;
    QDialogButtonBox* buttons_;
};

/// An editor that shows the dialog modally over `parent`; true when the user pressed OK.
SettingsEditor DialogSettingsEditor(QWidget* parent);

/// The stand-in as a window uses it: its own settings file and the dialog over `owner`, keeping
/// up to `keptBytes` of served files for its next open.
std::unique_ptr<LocalJVLink> MakeLocalJVLink(QWidget* owner, std::size_t keptBytes = 0);

}  // namespace dataservice
