#include <QApplication>

#include "app/main_menu_window.h"
#include "common/paths.h"

// The program starts with the main menu; there is no other entry point and no argument.
int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    common::SetAppFolder(common::GetAppFolder());
    app::TLMF1THISWEEKNVK31 mainMenu;  // its load runs the start-up before it is shown
    mainMenu.show();
    return application.exec();
}
