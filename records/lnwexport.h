#pragma once
// The shown part of the performance-record grid, packed into a second grid for the workbook and
// the clipboard: hidden tests, sub-columns and filtered courses are left out.
class GridStore;

namespace lnw {

// Fills `ziel` with the rows and columns of `quelle` whose height or width is above 1 twip, in
// their order: texts, back and fore colours, column widths, data types and alignment, row heights,
// and as many fixed rows and columns as `quelle` has. The current cell and selection end map to
// their places in the copy; one that lies in a hidden row or column maps to 0. `quelle` is not
// changed, and the clipboard is not used.
void sichtbarKopieren(const GridStore &quelle, GridStore &ziel);

} // namespace lnw
