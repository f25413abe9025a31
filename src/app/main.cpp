#include <memory>
#include <string>
#include <string_view>

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
    const common::InstanceLock::Result locked = instanceLock->TryLock();
    if (locked != common::InstanceLock::Result::Held) {
        // Unlocked, this program could run beside another one on the same files: it does not start.
        const bool another = locked == common::InstanceLock::Result::HeldByAnother;
        const std::string_view why = another ? common::kAlreadyRunningMessage : common::kCannotLockMessage;
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("TALMOR7"), ui::Qs(common::AppFolder() + std::string(why)),
                        QMessageBox::Ok);
        box.exec();
        return another ? 1 : 2;
    }

    app::TLMF1THISWEEKNVK31 mainMenu;  // its load runs the start-up before it is shown
    // The main menu releases the lock on every way out: closed, the logo, ③ without weights.
    mainMenu.HoldInstanceLock(std::move(instanceLock));
    mainMenu.show();
    return application.exec();
}
