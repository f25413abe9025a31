#include "dataservice/settings_dialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QVBoxLayout>

namespace dataservice {

namespace {
QString FromPath(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }
}  // namespace

SettingsDialog::SettingsDialog(const LocalSettings& settings, QWidget* parent) : QDialog(parent) {
    setObjectName("LocalJVLinkSettings");
    setWindowTitle(QStringLiteral("JV-Link 設定"));

    rootEdit_ = new QLineEdit(QString::fromStdString(settings.rootFolder), this);
    rootEdit_->setObjectName("RootFolderEdit");
    // Empty keeps the default, which the placeholder names.
    rootEdit_->setPlaceholderText(FromPath(RootFolderOf(LocalSettings{})));
    rootEdit_->setMinimumWidth(360);

    browseButton_ = new QPushButton(QStringLiteral("参照..."), this);
    browseButton_->setObjectName("BrowseButton");
    connect(browseButton_, &QPushButton::clicked, this, &SettingsDialog::Browse);

    paceSpin_ = new QDoubleSpinBox(this);
    paceSpin_->setObjectName("PaceSpinBox");
    paceSpin_->setRange(0, 1000);
    paceSpin_->setDecimals(1);
    paceSpin_->setSingleStep(1);
    paceSpin_->setSpecialValueText(QStringLiteral("即時"));  // 0: already downloaded
    paceSpin_->setSuffix(QStringLiteral(" ファイル/秒"));
    paceSpin_->setValue(settings.filesPerSecond);

    auto* rootRow = new QHBoxLayout;
    rootRow->addWidget(rootEdit_, 1);
    rootRow->addWidget(browseButton_);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("データフォルダ"), rootRow);
    form->addRow(QStringLiteral("ダウンロード速度"), paceSpin_);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->setObjectName("ButtonBox");
    buttons_->button(QDialogButtonBox::Ok)->setObjectName("OkButton");
    buttons_->button(QDialogButtonBox::Cancel)->setObjectName("CancelButton");
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons_);
}

LocalSettings SettingsDialog::Settings() const {
    LocalSettings s;
    s.rootFolder = rootEdit_->text().trimmed().toStdString();
    s.filesPerSecond = paceSpin_->value();
    return s;
}

void SettingsDialog::Browse() {
    QString start = rootEdit_->text().trimmed();
    if (start.isEmpty()) start = FromPath(RootFolderOf(LocalSettings{}));
    QString chosen = QFileDialog::getExistingDirectory(this, QStringLiteral("データフォルダ"), start);
    if (!chosen.isEmpty()) rootEdit_->setText(chosen);
}

SettingsEditor DialogSettingsEditor(QWidget* parent) {
    QPointer<QWidget> owner(parent);
    return [owner](LocalSettings& settings) {
        SettingsDialog dialog(settings, owner.data());
        if (dialog.exec() != QDialog::Accepted) return false;
        settings = dialog.Settings();
        return true;
    };
}

std::unique_ptr<LocalJVLink> MakeLocalJVLink(QWidget* owner, std::size_t keptBytes) {
    LocalJVLink::Config config;
    config.editor = DialogSettingsEditor(owner);
    config.keptBytes = keptBytes;
    return std::make_unique<LocalJVLink>(std::move(config));
}

}  // namespace dataservice
