#include "app/mainwindow.h"
#include "app/windowstyle.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    Q_INIT_RESOURCE(resources);
    int result = 0;
    {
        QApplication app(argc, argv);
        SetUpWindowStyle();
        MainWindow window;
        window.show();
        result = app.exec();
    }
    Q_CLEANUP_RESOURCE(resources);
    return result;
}
