#include "core/startup.h"
#include "core/frm_anmeldung.h"
#include "core/frm_main.h"
#include "core/guard.h"
#include "core/mdl_zandrel.h"
#include "core/programmicon.h"
#include "core/schema.h"
#include "core/windowregistry.h"
#include "platform/msg.h"
#include "platform/settings.h"
#include "platform/valuetext.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

namespace start {

void einrichten(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("Zandrel"));
    QApplication::setOrganizationName(QStringLiteral("Zandrel"));
    QApplication::setWindowIcon(programmIcon());
    // The windows are laid out in twips for an 8-point dialog font of Arial's widths.
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSize(8);
    QApplication::setFont(f);
    // Only the texts: QLocale's default stays, the program's dates and numbers have their own tables.
    static QTranslator *qtTexte = nullptr;
    if (!qtTexte) {
        auto *t = new QTranslator(&app);
        if (t->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            qtTexte = t;
        else
            delete t;
    }
    if (qtTexte)
        QCoreApplication::installTranslator(qtTexte);
}

QString parameterPfad(const QStringList &argumente)
{
    QString p = argumente.join(' ');
    p.remove('"');
    p.remove('\'');
    return p.trimmed();
}

QString fehlendeRegistrierung()
{
    if (!mdl::DatenPfad.isEmpty())
        return QString();
    QString dateien;
    for (const QString &f : registry::nmFiles())
        dateien += QLatin1Char('\r') + QDir::toNativeSeparators(f);
    return QStringLiteral("Der Ordner der Notenmanager-Datenbank ist nicht eingestellt: Der Schlüssel "
                          "\"dbFilePath\" im Abschnitt [nmSV] fehlt oder ist leer in") +
           dateien + QStringLiteral("\rGesucht wurde daher im Ordner\r") +
           QDir::toNativeSeparators(QFileInfo(mdl::eigenDateiPfad()).absolutePath());
}

static bool beenden(const QString &text)
{
    mdl::dbEigen.close();
    const QString hinweis = fehlendeRegistrierung();
    msg::box(text + (hinweis.isEmpty() ? QString() : QLatin1Char('\r') + hinweis) +
             QStringLiteral("\rDas Programm wird beendet."));
    return false;
}

bool vorbereiten(const QStringList &argumente)
{
    mdl::RegistryWerteLesen();
    mdl::FerienVorbereiten();

    mdl::NMDateiParameter = parameterPfad(argumente);
    if (!mdl::NMDateiParameter.isEmpty() && !QFileInfo(mdl::NMDateiParameter).isFile()) {
        msg::box(QStringLiteral("Die angegebene Notenmanager-Datenbank\r%1\rwurde nicht gefunden.\r"
                                "Es wird die eingestellte Datenbank verwendet.")
                     .arg(mdl::NMDateiParameter));
        mdl::NMDateiParameter.clear();
    }

    try {
        mdl::dbEigen.open(mdl::eigenDateiPfad());
        schema::DatenbankAktualisieren(mdl::dbEigen);
    } catch (const zdb::DbError &e) {
        return beenden(e.germanText());
    } catch (const schema::MissingTable &e) {
        return beenden(e.germanText());
    }
    return true;
}

void nachAnmeldung()
{
    windows::runAction(QStringLiteral("PersonenAktualisieren"));
    mdl::EinstellungenLaden();
}

int runZandrel(QApplication &app)
{
    frm_Main haupt;
    haupt.showMaximized();
    if (!vorbereiten(app.arguments().mid(1)))
        return 1;
    {
        frm_Anmeldung anmeldung(&haupt);
        if (anmeldung.exec() != QDialog::Accepted) {
            mdl::NMDatenbankZuruecksetzen();
            mdl::dbEigen.close();
            return 0;
        }
    }
    if (!guarded(nachAnmeldung))
        return 1;
    return app.exec();
}

} // namespace start

ZandrelApplication::ZandrelApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool ZandrelApplication::notify(QObject *receiver, QEvent *event)
{
    bool r = false;
    guard::ereignis([&] { r = QApplication::notify(receiver, event); });
    return r;
}
