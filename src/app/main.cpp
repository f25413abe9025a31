#include <memory>
#include <string>

#include <QApplication>
#include <QMessageBox>

#include "app/main_menu_window.h"
#include "common/instance_lock.h"
#include "common/paths.h"
#include "common/process_memory.h"
#include "ui/window_controls.h"

// The program starts with the main menu; there is no other entry point and no argument.
int main(int argc, char* argv[]) {
    common::KeepFreedMemoryForReuse();
    QApplication application(argc, argv);
    common::SetAppFolder(common::GetAppFolder());

    auto instanceLock = std::make_unique<common::InstanceLock>(common::AppPath(common::kInstanceLockFile));
    if (instanceLock->TryLock() == common::InstanceLock::Result::HeldByAnother) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("TALMOR7"),
                        ui::Qs(common::AppFolder() + std::string(common::kAlreadyRunningMessage)), QMessageBox::Ok);
        box.exec();
        return 1;
    }
    // A folder where no lock file can be made cannot take the week's files either; the start-up
    // and the steps report that as they meet it.

    app::TLMF1THISWEEKNVK31 mainMenu;  // its load runs the start-up before it is shown
    // The main menu releases the lock on every way out: closed, the logo, ③ without weights.
    mainMenu.HoldInstanceLock(std::move(instanceLock));
    mainMenu.show();
    return application.exec();
}
