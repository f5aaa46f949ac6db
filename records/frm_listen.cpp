#include "records/frm_listen.h"
#include "core/frm_warten.h"
#include "core/mdl_zandrel.h"
#include "platform/accessfuncs.h"
#include "platform/folders.h"
#include "platform/grid/vsgrid.h"
#include "platform/msg.h"
#include "platform/settings.h"
#include "platform/units.h"
#include "records/listenlogik.h"
#include "platform/speicherdialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStorageInfo>
#include <QTimer>

std::function<void(frm_Listen &)> frm_Listen::abfrageeditorZeigen;

namespace {

const QString kFenster = QStringLiteral("Fenster");
const QString kSave = QStringLiteral("Save");

// The progress window's text while a statement runs.
const QString kLaeuft = QStringLiteral("Die Abfrage wird ausgeführt …");

// Column data type "text" of the grid.
constexpr int FlexDTString = 8;

// The drive (mounted volume root) a path lies on; the nearest existing folder decides.
QString laufwerkVon(const QString &path)
{
    QFileInfo fi(path);
    QString p = fi.absoluteFilePath();
    while (!p.isEmpty() && !QFileInfo::exists(p)) {
        const QString up = QFileInfo(p).absolutePath();
        if (up == p)
            break;
        p = up;
    }
    QStorageInfo s(p);
    return s.isValid() ? s.rootPath() : QDir::rootPath();
}

} // namespace

frm_Listen::frm_Listen(QWidget *parent) : ChildWindow(QStringLiteral("frm_Listen"), parent)
{
    setWindowTitle(QStringLiteral("erzeugen von Excel-Listen"));

    Label2 = new QLabel(QStringLiteral("Jeder Text vor dem 'SELECT' wird als Kommentar aufgefasst."), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    rtfSQL = new QPlainTextEdit(this);
    QFont mono(QStringLiteral("Courier New"));
    mono.setStyleHint(QFont::Monospace);
    rtfSQL->setFont(mono);
    rtfSQL->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    cmd_SQL_ausfuehren = new QPushButton(QStringLiteral("SQL-String ausführen"), this);
    cmdSave = new QPushButton(QStringLiteral("SQL-String speichern"), this);
    cmdAbfrageeditor = new QPushButton(QStringLiteral("Abfrageeditor"), this);
    cmdSaveExcel = new QPushButton(QStringLiteral("als Excel-Tabelle speichern"), this);
    chkKopfFrei = new QCheckBox(QStringLiteral("Kopfzeile markierbar"), this);
    lblAnzahl = new QLabel(this);
    Label1 = new QLabel(QStringLiteral("... oder markieren und über STRG-C kopieren"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Drive1 = new QComboBox(this);
    Dir1 = new QListWidget(this);
    File1 = new QListWidget(this);

    fg = new VSGrid(this);
    fg->setRows(1);
    fg->setCols(2);
    fg->setFixedRows(1);
    fg->setFixedCols(0);

    connect(cmd_SQL_ausfuehren, &QPushButton::clicked, this, [this] { cmd_SQL_ausfuehren_Click(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdAbfrageeditor, &QPushButton::clicked, this, [this] { cmdAbfrageeditor_Click(); });
    connect(cmdSaveExcel, &QPushButton::clicked, this, [this] { cmdSaveExcel_Click(); });
    connect(chkKopfFrei, &QCheckBox::clicked, this, [this] { chkKopfFrei_Click(); });
    connect(fg, &VSGrid::keyPress, this, [this](int &key) { fg_KeyPress(key); });
    connect(File1, &QListWidget::itemClicked, this, [this] { File1_Click(); });
    connect(Dir1, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        setDirPath(item->data(Qt::UserRole).toString());
    });
    connect(Drive1, &QComboBox::activated, this, [this] { Drive1_Change(); });

    laufwerkeFuellen();
    resize(units::twipsToPixels(15100), units::twipsToPixels(9750));
    // The row of buttons whole; a few rows of the result below the file lists.
    setBenoetigteGroesse(14540, 4500);
}

void frm_Listen::place(QWidget *w, int left, int top, int width, int height)
{
    const double dpi = logicalDpiX();
    w->setGeometry(units::twipsToPixels(left, dpi), units::twipsToPixels(top, dpi), units::twipsToPixels(width, dpi),
                   units::twipsToPixels(height, dpi));
}

void frm_Listen::resizeEvent(QResizeEvent *event)
{
    ChildWindow::resizeEvent(event);
    const double dpi = logicalDpiX();
    const int breite = units::pixelsToTwips(width(), dpi), hoehe = units::pixelsToTwips(height(), dpi);
    // Text box at the left, the grid at the right; both reach 100 twips above the bottom.
    const int sqlTop = 480, gridLeft = 6240, gridTop = 2760;
    place(Label2, 120, 120, 6000, 300);
    // Buttons, file lists and the hint fit the designed width of 15100 twips with our font.
    place(cmd_SQL_ausfuehren, gridLeft, 120, 2000, 375);
    place(cmdSave, gridLeft + 2100, 120, 2000, 375);
    place(cmdAbfrageeditor, gridLeft + 4200, 120, 1400, 375);
    place(cmdSaveExcel, gridLeft + 5700, 120, 2500, 375);
    place(Drive1, gridLeft, 600, 2700, 330);
    place(Dir1, gridLeft, 1000, 2700, 1640);
    place(chkKopfFrei, gridLeft + 2800, 2020, 2200, 300);
    place(lblAnzahl, gridLeft + 5100, 2020, 1800, 300);
    place(Label1, gridLeft + 2800, 2380, 4400, 300);
    int gridBreite = units::pixelsToTwips(fg->width(), dpi), gridHoehe = units::pixelsToTwips(fg->height(), dpi);
    const int sqlHoehe = hoehe - sqlTop - 100;
    if (sqlHoehe > 0) {
        place(rtfSQL, 120, sqlTop, 6000, sqlHoehe);
        gridHoehe = qMax(100, hoehe - gridTop - 100);
    }
    if (breite - gridLeft - 100 > 100)
        gridBreite = breite - gridLeft - 100;
    place(fg, gridLeft, gridTop, gridBreite, gridHoehe);
    place(File1, gridLeft + 2800, 600, qMax(100, gridBreite - 2800), 1350);
}

void frm_Listen::formActivate()
{
    if (!listen::istZugelassen(mdl::Benutzer)) {
        rahmen()->hide();
        msg::box(QStringLiteral("Nur für den Admin"));
        FensterpositionSpeichern();
        QPointer<frm_Listen> self(this);
        QTimer::singleShot(0, this, [self] {
            if (self)
                self->rahmen()->close();
        });
        return;
    }
    QWidget *r = rahmen();
    const double dpi = logicalDpiX();
    double w = accessfn::accessVal(settings::getSetting(kFenster, QStringLiteral("ListenWidth"), QStringLiteral("15100")));
    double h = accessfn::accessVal(settings::getSetting(kFenster, QStringLiteral("ListenHeight"), QStringLiteral("9750")));
    if (w <= 0)
        w = 15100;
    if (h <= 0)
        h = 9750;
    r->setGeometry(0, 0, units::twipsToPixels(int(w), dpi), units::twipsToPixels(int(h), dpi));

    // Start folder of the file lists; a folder that does not exist is left alone.
    const QString start = settings::getSetting(kSave, QStringLiteral("SaveSQL"),
                                               folders::join(folders::programFolder(), QStringLiteral("SQL")));
    if (setDrive(laufwerkVon(start), false) && QFileInfo(start).isDir())
        setDirPath(start);
}

bool frm_Listen::formUnload()
{
    FensterpositionSpeichern();
    return true;
}

void frm_Listen::closeEvent(QCloseEvent *event)
{
    FensterpositionSpeichern();
    ChildWindow::closeEvent(event);
}

void frm_Listen::FensterpositionSpeichern()
{
    const QRect g = rahmen()->geometry();
    const double dpi = logicalDpiX();
    settings::saveSetting(kFenster, QStringLiteral("ListenHeight"), QString::number(units::pixelsToTwips(g.height(), dpi)));
    settings::saveSetting(kFenster, QStringLiteral("ListenWidth"), QString::number(units::pixelsToTwips(g.width(), dpi)));
    settings::saveSetting(kFenster, QStringLiteral("ListenLeft"), QString::number(units::pixelsToTwips(g.x(), dpi)));
    settings::saveSetting(kFenster, QStringLiteral("ListenTop"), QString::number(units::pixelsToTwips(g.y(), dpi)));
}

// ---- running

void frm_Listen::gridLeeren()
{
    // Rows first: clearing the cells of rows that are dropped anyway would cost a pass over them.
    fg->setRows(1);
    fg->clear();
    lblAnzahl->clear();
}

void frm_Listen::cmd_SQL_ausfuehren_Click()
{
    if (m_laeuft) // the database wait lets other clicks through
        return;
    m_laeuft = true;
    gridLeeren();
    // Whatever the run is doing (the engine's steps, reading rows, converting values, filling
    // the grid), after the wait time the progress window shows, modal, with "Abbrechen"; the
    // click there ends the run and nothing is shown.
    QElapsedTimer uhr;
    uhr.start();
    const auto zeit = [&](accesssql::RunPhase phase) { return laufzeit ? laufzeit(phase) : uhr.elapsed(); };
    bool gezeigt = false;
    qint64 zuletzt = 0;
    // Filling the grid asks for every row: before the window shows, the clock is read on the first
    // call and then every 16th call, which is still well within the wait time.
    int ohneUhr = 15;
    const std::function<bool(accesssql::RunPhase)> weiter = [&](accesssql::RunPhase phase) {
        if (!gezeigt && ++ohneUhr < 16)
            return true;
        ohneUhr = 0;
        const qint64 jetzt = zeit(phase);
        if (!gezeigt) {
            if (jetzt < wartefensterNachMs)
                return true;
            gezeigt = true;
            frm_Warten::zeigenMitAbbruch(kLaeuft);
        } else if (jetzt - zuletzt < 20) // letting events through costs more than the checks
            return !frm_Warten::abgebrochen();
        zuletzt = jetzt;
        QCoreApplication::processEvents();
        return !frm_Warten::abgebrochen();
    };
    const listen::Auftrag auftrag = listen::vorbereiten(rtfSQL->toPlainText(), listen::Verbindung::nmNurLesen());
    listen::Ergebnis e = laufAbwarten(auftrag, zeit, gezeigt);
    if (e.status == listen::Ergebnis::Daten && !(ergebnisZeigen(e, weiter) && spaltenAnpassen(weiter))) {
        gridLeeren();
        e.status = listen::Ergebnis::Abgebrochen;
    }
    if (gezeigt)
        frm_Warten::entladen();
    m_laeuft = false;
    switch (e.status) {
    case listen::Ergebnis::KeinSelect:
        msg::box(QStringLiteral("Der SQL-String enthält kein 'SELECT'."));
        return;
    case listen::Ergebnis::Fehler:
        msg::box(QStringLiteral("Fehler im SQL-Ausdruck"));
        return;
    case listen::Ergebnis::Datenbankfehler:
        msg::box(e.meldung);
        return;
    case listen::Ergebnis::ZuGross:
        msg::box(listen::zuGrossText());
        return;
    case listen::Ergebnis::Abgebrochen:
    case listen::Ergebnis::Leer:
        return;
    case listen::Ergebnis::Daten:
        break;
    }
    if (e.abgeschnitten)
        msg::box(listen::abgeschnittenText(int(e.zeilen.size())));
}

listen::Ergebnis frm_Listen::laufAbwarten(const listen::Auftrag &auftrag,
                                          const std::function<qint64(accesssql::RunPhase)> &zeit, bool &gezeigt)
{
    if (auftrag.status != listen::Ergebnis::Daten) {
        listen::Ergebnis e;
        e.status = auftrag.status;
        return e;
    }
    // The statement runs on a thread and connection of its own; meanwhile this thread paints the
    // windows (user input waits until the progress window shows, then goes to it alone).
    QEventLoop schleife;
    listen::Hintergrundlauf lauf(auftrag, {maxZeilen, maxBytes, imLauf}, [&schleife] {
        QMetaObject::invokeMethod(&schleife, [&schleife] { schleife.quit(); }, Qt::QueuedConnection);
    });
    QTimer takt; // the clock, the progress window and its "Abbrechen"; and the end, should its news be missed
    takt.setInterval(10);
    connect(&takt, &QTimer::timeout, &schleife, [&] {
        if (lauf.fertig()) {
            schleife.quit();
            return;
        }
        const qint64 jetzt = zeit(lauf.phase());
        if (!gezeigt && jetzt >= wartefensterNachMs)
            schleife.exit(1);
        if (gezeigt && frm_Warten::abgebrochen())
            lauf.abbrechen();
    });
    takt.start();
    if (!lauf.fertig() && schleife.exec(QEventLoop::ExcludeUserInputEvents) == 1 && !lauf.fertig()) {
        gezeigt = true;
        frm_Warten::zeigenMitAbbruch(kLaeuft);
        connect(frm_Warten::instance()->cmdAbbrechen, &QPushButton::clicked, &takt, [&lauf] { lauf.abbrechen(); });
        if (!lauf.fertig())
            schleife.exec();
    }
    return lauf.ergebnis();
}

bool frm_Listen::ergebnisZeigen(listen::Ergebnis &e, const std::function<bool(accesssql::RunPhase)> &weiter)
{
    const int n = int(e.zeilen.size());
    const int spalten = int(e.felder.size());
    lblAnzahl->setText(listen::anzahlText(n));
    fg->setRedraw(false);
    fg->clear();
    fg->setRows(n + 1);
    fg->setCols(spalten);
    fg->setFixedRows(chkKopfFrei->isChecked() ? 0 : 1);
    for (int c = 0; c < spalten; ++c) {
        fg->setTextMatrix(0, c, e.felder[c]);
        fg->setColDataType(c, FlexDTString);
    }
    // Straight into the cells (nothing listens to single cell changes of the list), each row handed
    // over in the compact form it was read in.
    GridStore &zellen = fg->store();
    for (int r = 0; r < n; ++r) {
        if (weiter && !weiter(accesssql::RunPhase::Display)) {
            fg->setRedraw(true);
            return false;
        }
        zellen.setRowTexts(r + 1, e.zeilen.take(r));
    }
    fg->setRedraw(true);
    return true;
}

// Each column's width fitted to its contents.
bool frm_Listen::spaltenAnpassen(const std::function<bool(accesssql::RunPhase)> &weiter)
{
    fg->setRedraw(false);
    const bool fertig = fg->autoSize(0, fg->cols() - 1, [&] { return weiter(accesssql::RunPhase::Display); });
    fg->setRedraw(true);
    return fertig;
}

void frm_Listen::chkKopfFrei_Click() { fg->setFixedRows(chkKopfFrei->isChecked() ? 0 : 1); }

void frm_Listen::fg_KeyPress(int &keyAscii)
{
    if (keyAscii == 3) // Ctrl+C
        fg->copySelection();
}

// ---- query files

QString frm_Listen::dialogZeigen(const QString &startOrdner, const QString &dateiname, const QString &filter)
{
    return speichern::dialogZeigen(this, speichernDialog, startOrdner, dateiname, filter);
}

void frm_Listen::cmdSave_Click()
{
    const QString preset = QStringLiteral("Export.SQL");
    const QString start = settings::getSetting(kSave, QStringLiteral("SaveSQL"), folders::programFolder());
    QString datei = dialogZeigen(start, preset, QStringLiteral("SQL-Dateien (*.SQL)"));
    if (datei == preset)
        return;
    if (QFileInfo(datei).suffix().isEmpty())
        datei += QStringLiteral(".SQL");
    bool speichern = true;
    if (QFileInfo::exists(datei))
        speichern = msg::box(QStringLiteral("Soll die bestehende Datei ersetzt werden?"),
                             msg::YesNo | msg::DefaultButton2) == msg::Yes;
    if (!speichern) {
        msg::box(QStringLiteral("Es wurde nichts gespeichert."));
    } else {
        const QString text = listen::anfuehrungszeichenErsetzen(rtfSQL->toPlainText());
        rtfSQL->setPlainText(text);
        const QString pfad = QDir::toNativeSeparators(QFileInfo(datei).absoluteFilePath());
        QString fehler;
        if (listen::abfrageSpeichern(datei, text, &fehler)) {
            msg::box(QStringLiteral("Die Datei \r'") + pfad + QStringLiteral("'\rwurde gespeichert."));
            settings::saveSetting(kSave, QStringLiteral("SaveSQL"), QFileInfo(datei).absolutePath());
        } else
            msg::box(QStringLiteral("Die Datei konnte nicht gespeichert werden.\r\r") + fehler);
    }
    Dir1_Change();
}

void frm_Listen::File1_Click()
{
    QListWidgetItem *item = File1->currentItem();
    if (!item)
        return;
    gridLeeren();
    const QString pfad = folders::join(m_dirPath, item->text());
    QString text, fehler;
    if (!listen::abfrageLaden(pfad, &text, &fehler)) {
        msg::box(QStringLiteral("Die Abfrage kann nicht gelesen werden.\r\r") + fehler);
        return;
    }
    rtfSQL->setPlainText(text);
    settings::saveSetting(kSave, QStringLiteral("SaveSQL"), m_dirPath);
}

// ---- drive, folder and file lists

void frm_Listen::laufwerkeFuellen()
{
    QStringList wurzeln;
    for (const QStorageInfo &s : QStorageInfo::mountedVolumes())
        if (s.isValid() && !wurzeln.contains(s.rootPath()))
            wurzeln << s.rootPath();
    if (!wurzeln.contains(QDir::rootPath()))
        wurzeln.prepend(QDir::rootPath());
    wurzeln.sort();
    Drive1->clear();
    Drive1->addItems(wurzeln);
}

bool frm_Listen::setDrive(const QString &root, bool melden)
{
    int i = Drive1->findText(root);
    if (i < 0) {
        Drive1->addItem(root);
        i = Drive1->count() - 1;
    }
    Drive1->setCurrentIndex(i);
    laufwerkWechseln(melden);
    return m_drive == root;
}

void frm_Listen::Drive1_Change() { laufwerkWechseln(true); }

void frm_Listen::laufwerkWechseln(bool melden)
{
    const QString root = Drive1->currentText();
    const QFileInfo fi(root);
    if (!fi.isDir() || !fi.isReadable() || !QDir(root).isReadable()) {
        if (melden)
            msg::box(QStringLiteral("Das Laufwerk ist nicht bereit."));
        const int alt = Drive1->findText(m_drive);
        if (alt >= 0)
            Drive1->setCurrentIndex(alt);
        return;
    }
    m_drive = root;
    setDirPath(root);
}

void frm_Listen::setDirPath(const QString &path)
{
    if (!QFileInfo(path).isDir())
        return;
    m_dirPath = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    Dir1_Change();
}

void frm_Listen::Dir1_Change()
{
    // The folder list: the way down to the folder, then its subfolders.
    Dir1->clear();
    File1->clear();
    if (m_dirPath.isEmpty())
        return;
    QStringList weg;
    for (QDir d(m_dirPath);; ) {
        weg.prepend(d.absolutePath());
        if (!d.cdUp())
            break;
    }
    int tiefe = 0;
    for (const QString &p : weg) {
        const QString name = QFileInfo(p).fileName().isEmpty() ? p : QFileInfo(p).fileName();
        auto *item = new QListWidgetItem(QString(tiefe * 2, ' ') + name, Dir1);
        item->setData(Qt::UserRole, p);
        ++tiefe;
    }
    Dir1->setCurrentRow(Dir1->count() - 1);
    const QDir aktuell(m_dirPath);
    for (const QString &sub : listen::unterordner(m_dirPath)) {
        auto *item = new QListWidgetItem(QString(tiefe * 2, ' ') + sub, Dir1);
        item->setData(Qt::UserRole, aktuell.absoluteFilePath(sub));
    }
    File1->addItems(listen::abfrageDateien(m_dirPath));
}

// ---- workbook and query builder

void frm_Listen::cmdSaveExcel_Click()
{
    const QString preset = QStringLiteral("Export.xlsx");
    const QString start = speichern::startOrdner(settings::getSetting(kSave, QStringLiteral("Excel")));
    const QString datei = dialogZeigen(start, preset, QStringLiteral("Excel-Dateien (*.xlsx)"));
    settings::saveSetting(kSave, QStringLiteral("Excel"), listen::ordnerVon(datei));
    if (datei == preset) {
        msg::box(QStringLiteral("Es wurde nichts gespeichert."));
        return;
    }
    const QString ziel = listen::excelDateiname(datei);
    QString fehler;
    if (!fg->saveXlsx(ziel, &fehler)) {
        msg::box(QStringLiteral("Die Datei konnte nicht gespeichert werden.\r\r") + fehler);
        return;
    }
    msg::box(QStringLiteral("Die gewünschte Datei wurde gespeichert."));
}

void frm_Listen::cmdAbfrageeditor_Click()
{
    if (!abfrageeditorZeigen) {
        msg::box(QStringLiteral("Der Abfrageeditor ist in dieser Version nicht verfügbar."));
        return;
    }
    abfrageeditorZeigen(*this);
}
