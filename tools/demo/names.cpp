#include "tools/demo/names.h"

#include <QVector>

namespace demo::names {

namespace {
QStringList split(const char *utf8) { return QString::fromUtf8(utf8).split(' ', Qt::SkipEmptyParts); }
} // namespace

const QStringList &surnames()
{
    static const QStringList l = split(
        "Müller Schmidt Schneider Fischer Weber Meyer Wagner Becker Schulz Hoffmann Schäfer Koch Bauer Richter "
        "Klein Wolf Schröder Neumann Schwarz Zimmermann Braun Krüger Hofmann Hartmann Lange Schmitt Werner "
        "Schmitz Krause Meier Lehmann Schmid Schulze Maier Köhler Herrmann König Walter Mayer Huber Kaiser Fuchs "
        "Peters Lang Scholz Möller Weiß Jung Hahn Schubert Vogel Friedrich Keller Günther Frank Berger Winkler "
        "Roth Beck Lorenz Baumann Franke Albrecht Schuster Simon Ludwig Böhm Winter Kraus Martin Schumacher "
        "Krämer Vogt Stein Jäger Otto Sommer Groß Seidel Heinrich Brandt Haas Schreiber Graf Schulte Dietrich "
        "Ziegler Kuhn Kühn Pohl Engel Horn Busch Bergmann Thomas Voigt Sauer Arnold Wolff Pfeiffer Strauß "
        "Rößler Süß Gößwein Weißenböck Hölzl Stöckl Wimmer Brunner Eder Aigner Pröll Öztürk Yüksel Kowalski "
        "Nowak Rossi Popescu Dvorak Leitner Grüner Fürst Bräu Scheuerer Obermeier Niedermaier Ostermeier");
    return l;
}

const QStringList &boys()
{
    static const QStringList l = split(
        "Lukas Leon Finn Jonas Noah Elias Paul Ben Felix Maximilian Luis Henry Emil Jakob Moritz Niklas Tim "
        "Julian Anton Jan Ole Linus Jannik Till Lennart Matteo Fabian Sören Björn Jörn Tobias David Simon "
        "Johannes Oskar Theo Vincent Valentin Korbinian Quirin Florian Leonhard Ömer Can Mert Luka Mika");
    return l;
}

const QStringList &girls()
{
    static const QStringList l = split(
        "Mia Emma Hanna Sophia Lea Emilia Marie Lina Lena Leonie Amelie Johanna Laura Clara Anna Lilly Ella "
        "Frieda Greta Mila Ida Luisa Charlotte Nele Paula Jana Zoë Chloé Jördis Magdalena Theresa Franziska "
        "Vroni Lisa Sarah Elif Zeynep Aylin Selin Maja Nora Ronja Romy Käthe Mathilda");
    return l;
}

const QStringList &parentMen()
{
    static const QStringList l = split(
        "Jürgen Jörg Günter Stefan Thomas Andreas Michael Markus Christian Martin Matthias Florian Sebastian "
        "Alexander Daniel Frank Ralf Sven Björn Uwe Klaus Holger Mehmet Ahmet Dariusz Marco");
    return l;
}

const QStringList &parentWomen()
{
    static const QStringList l = split(
        "Birgit Sabine Jutta Ulrike Susanne Andrea Claudia Petra Monika Katrin Stefanie Julia Bärbel Dörte "
        "Renate Nicole Tanja Sandra Martina Christine Manuela Anja Ayse Fatma Agnieszka Elena");
    return l;
}

const QStringList &streets()
{
    static const QStringList l = QString::fromUtf8(
        "Hauptstraße;Bahnhofstraße;Schulstraße;Am Mühlbach;Schloßallee;Lindenweg;Kirchplatz;Gartenstraße;"
        "Birkenweg;Dorfstraße;Ringstraße;Am Anger;Isarstraße;Pfarrer-Müller-Weg;Fürstenstraße;Grüner Weg;"
        "Obere Hofmark;Ländgasse;Äußere Münchner Straße;Sankt-Martin-Straße;Maximilianstraße;Am Sonnenhang")
        .split(';');
    return l;
}

const QVector<Town> &towns()
{
    static const QVector<Town> t = {
        {"84028", "Landshut", "0871"},  {"84034", "Landshut", "0871"},   {"84030", "Ergolding", "0871"},
        {"84051", "Essenbach", "08703"}, {"84095", "Furth", "08704"},     {"84144", "Geisenhausen", "08743"},
        {"84032", "Altdorf", "0871"},   {"84061", "Ergoldsbach", "08771"}, {"84184", "Tiefenbach", "08709"},
        {"84036", "Kumhausen", "0871"}, {"84079", "Bruckberg", "08765"}, {"84174", "Eching", "08709"}};
    return t;
}

} // namespace demo::names
