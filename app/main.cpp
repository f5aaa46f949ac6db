#include "core/windowregistry.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zandrel"));
    QApplication::setOrganizationName(QStringLiteral("Zandrel"));
    return 0;
}
