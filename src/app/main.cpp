#include "app/SystemPorts.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    dravena::installSystemPorts();
    QWidget form1;
    form1.setObjectName(QStringLiteral("Form1"));
    form1.setWindowTitle(QStringLiteral("Dravena Conversion Software"));
    form1.resize(536, 317);
    form1.show();
    return QApplication::exec();
}
