// The grid's user input: mouse, keys, in-cell editing, check boxes and drops. Every event signal
// here comes from a user action.
#include "platform/grid/vsgrid.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>

namespace {

// The program's key codes (virtual key codes) for a Qt key.
int keyCodeOf(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return key; // 65..90
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return key; // 48..57
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return 112 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
    }
}

} // namespace

int VSGrid::buttonOf(Qt::MouseButtons b) const
{
    int v = 0;
    if (b & Qt::LeftButton)
        v |= 1;
    if (b & Qt::RightButton)
        v |= 2;
    if (b & Qt::MiddleButton)
        v |= 4;
    return v;
}

int VSGrid::shiftOf(Qt::KeyboardModifiers m) const
{
    int v = 0;
    if (m & Qt::ShiftModifier)
        v |= 1;
    if (m & Qt::ControlModifier)
        v |= 2;
    if (m & Qt::AltModifier)
        v |= 4;
    return v;
}

double VSGrid::xTwips(int x) const { return x * 1440.0 / m_dpiX; }
double VSGrid::yTwips(int y) const { return y * 1440.0 / m_dpiY; }

void VSGrid::trackMouse(const QPoint &widgetPos)
{
    cellAt(widgetPos, m_mouseRow, m_mouseCol);
}

// Moves the current cell as the user does, with the cell events.
void VSGrid::userSetCurrent(int r, int c, bool extend, bool toggle)
{
    if (r < 0 || c < 0 || r >= rows() || c >= cols())
        return;
    if (m_selectionMode == SelectionListBox) {
        if (extend && m_listAnchor >= 0) {
            for (int i = fixedRows(); i < rows(); ++i)
                m_store.setIsSelected(i, i >= std::min(m_listAnchor, r) && i <= std::max(m_listAnchor, r));
        } else if (toggle) {
            m_store.setIsSelected(r, !m_store.isSelected(r));
            m_listAnchor = r;
        } else {
            for (int i = 0; i < rows(); ++i)
                m_store.setIsSelected(i, i == r);
            m_listAnchor = r;
        }
    }
    const bool moves = r != row() || c != col();
    if (extend && m_selectionMode != SelectionListBox) {
        m_store.setRowSel(r);
        m_store.setColSel(c);
        changed();
        emit selChange();
        return;
    }
    if (moves)
        emit leaveCell();
    m_store.select(r, c);
    changed();
    if (moves) {
        emit rowColChange();
        emit enterCell();
    }
    emit selChange();
}

void VSGrid::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint() + viewport()->geometry().topLeft();
    trackMouse(pos);
    const int button = buttonOf(event->button());
    const int shift = shiftOf(event->modifiers());
    const double x = xTwips(pos.x()), y = yTwips(pos.y());
    m_pressRow = m_mouseRow;
    m_pressCol = m_mouseCol;
    m_pressButton = button;
    if (m_editor && m_editRow >= 0)
        endEdit(true);
    bool cancel = false;
    emit beforeMouseDown(button, shift, x, y, cancel);
    const int r = m_mouseRow, c = m_mouseCol;
    const bool scrollable = r >= fixedRows() && c >= fixedCols() && r >= 0;
    if (!cancel && button == 1 && scrollable) {
        userSetCurrent(r, c, shift & 1, shift & 2);
        m_dragging = m_selectionMode != SelectionListBox;
    }
    emit mouseDown(button, shift, x, y);
    if (!cancel && button == 1 && scrollable && m_editable && m_store.cellChecked(r, c) != grid::NoCheckbox)
        toggleCheck(r, c);
}

void VSGrid::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint() + viewport()->geometry().topLeft();
    trackMouse(pos);
    if (m_dragging && (event->buttons() & Qt::LeftButton) && m_mouseRow >= fixedRows() && m_mouseCol >= fixedCols()
        && (m_mouseRow != rowSel() || m_mouseCol != colSel())) {
        m_store.setRowSel(m_mouseRow);
        m_store.setColSel(m_mouseCol);
        changed();
        emit selChange();
    }
    emit mouseMove(buttonOf(event->buttons()), shiftOf(event->modifiers()), xTwips(pos.x()), yTwips(pos.y()));
}

void VSGrid::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint() + viewport()->geometry().topLeft();
    trackMouse(pos);
    m_dragging = false;
    const int button = buttonOf(event->button());
    emit mouseUp(button, shiftOf(event->modifiers()), xTwips(pos.x()), yTwips(pos.y()));
    if (button == 1 && m_pressButton == 1 && viewport()->rect().contains(event->position().toPoint()))
        emit click();
    m_pressButton = 0;
}

void VSGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint() + viewport()->geometry().topLeft();
    trackMouse(pos);
    m_pressButton = buttonOf(event->button());
    if (event->button() != Qt::LeftButton)
        return;
    emit dblClick();
    const int r = m_mouseRow, c = m_mouseCol;
    if (m_editable && r == row() && c == col() && r >= fixedRows() && c >= fixedCols()
        && m_store.cellChecked(r, c) == grid::NoCheckbox)
        startEdit(r, c, m_store.textMatrix(r, c), true);
}

void VSGrid::keyPressEvent(QKeyEvent *event)
{
    const int shift = shiftOf(event->modifiers());
    int keyCode = keyCodeOf(event->key());
    if (keyCode) {
        emit keyDown(keyCode, shift);
        if (keyCode == 0)
            return;
    }
    int ascii = 0;
    if ((event->modifiers() & Qt::ControlModifier) && event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z)
        ascii = event->key() - Qt::Key_A + 1;
    else if (!event->text().isEmpty() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        ascii = event->text().at(0).unicode();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        ascii = 13;
    if (ascii) {
        emit keyPress(ascii);
        if (ascii == 0)
            return;
    }

    const int r = row(), c = col();
    auto moveTo = [&](int nr, int nc) {
        nr = std::clamp(nr, fixedRows(), std::max(fixedRows(), rows() - 1));
        nc = std::clamp(nc, fixedCols(), std::max(fixedCols(), cols() - 1));
        if (nr >= rows() || nc >= cols())
            return;
        userSetCurrent(nr, nc, shift & 1, false);
        showCell(shift & 1 ? rowSel() : nr, shift & 1 ? colSel() : nc);
    };
    const int fromRow = shift & 1 ? rowSel() : r, fromCol = shift & 1 ? colSel() : c;
    auto nextShown = [&](int from, int step, bool isRow) {
        const int n = isRow ? rows() : cols();
        for (int i = from + step; i >= 0 && i < n; i += step)
            if (isRow ? m_store.rowShown(i) : m_store.colShown(i))
                return i;
        return from;
    };
    switch (event->key()) {
    case Qt::Key_Up: moveTo(nextShown(fromRow, -1, true), fromCol); return;
    case Qt::Key_Down: moveTo(nextShown(fromRow, 1, true), fromCol); return;
    case Qt::Key_Left: moveTo(fromRow, nextShown(fromCol, -1, false)); return;
    case Qt::Key_Right: moveTo(fromRow, nextShown(fromCol, 1, false)); return;
    case Qt::Key_PageUp: moveTo(fromRow - verticalScrollBar()->pageStep(), fromCol); return;
    case Qt::Key_PageDown: moveTo(fromRow + verticalScrollBar()->pageStep(), fromCol); return;
    case Qt::Key_Home: moveTo(event->modifiers() & Qt::ControlModifier ? fixedRows() : fromRow, fixedCols()); return;
    case Qt::Key_End: moveTo(event->modifiers() & Qt::ControlModifier ? rows() - 1 : fromRow, cols() - 1); return;
    default: break;
    }
    if (!m_editable || r < fixedRows() || c < fixedCols() || r < 0 || c < 0)
        return;
    const bool checkCell = m_store.cellChecked(r, c) != grid::NoCheckbox;
    if (checkCell) {
        if (event->key() == Qt::Key_Space)
            toggleCheck(r, c);
        return;
    }
    if (event->key() == Qt::Key_F2 || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        startEdit(r, c, m_store.textMatrix(r, c), false);
    else if (ascii >= 32 && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        startEdit(r, c, QString(QChar(ascii)), false);
}

void VSGrid::keyReleaseEvent(QKeyEvent *event)
{
    int keyCode = keyCodeOf(event->key());
    if (keyCode && !event->isAutoRepeat())
        emit keyUp(keyCode, shiftOf(event->modifiers()));
}

// ------------------------------------------------------------------------------------------- editing

void VSGrid::toggleCheck(int r, int c)
{
    bool cancel = false;
    emit beforeEdit(r, c, cancel);
    if (cancel)
        return;
    const int state = m_store.cellChecked(r, c);
    setCellChecked(r, c, state == grid::Checked ? grid::Unchecked : grid::Checked);
    emit afterEdit(r, c);
}

void VSGrid::editCell()
{
    const int r = row(), c = col();
    if (r < 0 || c < 0 || isEditing())
        return;
    startEdit(r, c, m_store.textMatrix(r, c), true);
}

void VSGrid::startEdit(int r, int c, const QString &initial, bool selectAll)
{
    bool cancel = false;
    emit beforeEdit(r, c, cancel);
    if (cancel || r != row() || c != col())
        return;
    showCell(r, c);
    const QRect rect = cellRect(r, c);
    if (rect.isEmpty())
        return;
    if (!m_editor) {
        m_editor = new QLineEdit(viewport());
        m_editor->setFrame(false);
        m_editor->installEventFilter(this);
    }
    m_editRow = r;
    m_editCol = c;
    m_editor->setFont(m_store.cellFontBold(r, c) ? [this] { QFont f = font(); f.setBold(true); return f; }() : font());
    m_editor->setGeometry(rect.translated(-viewport()->geometry().topLeft()).adjusted(0, 0, -1, -1));
    m_editor->setText(initial);
    if (selectAll)
        m_editor->selectAll();
    else
        m_editor->end(false);
    m_editor->show();
    m_editor->setFocus(Qt::OtherFocusReason);
}

void VSGrid::endEdit(bool commit)
{
    if (!m_editor || m_editRow < 0)
        return;
    const int r = m_editRow, c = m_editCol;
    if (commit) {
        bool cancel = false;
        emit validateEdit(r, c, cancel);
        if (cancel)
            return;
    }
    const QString text = m_editor->text();
    m_editRow = m_editCol = -1;
    m_editor->hide();
    setFocus(Qt::OtherFocusReason);
    if (!commit)
        return;
    setTextMatrix(r, c, text);
    emit afterEdit(r, c);
}

void VSGrid::finishEditing() { endEdit(true); }

bool VSGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (m_editor && watched == m_editor && m_editRow >= 0) {
        if (event->type() == QEvent::KeyPress) {
            auto *ke = static_cast<QKeyEvent *>(event);
            switch (ke->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                endEdit(true);
                return true;
            case Qt::Key_Escape:
                endEdit(false);
                return true;
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_Tab: {
                endEdit(true);
                if (!isEditing())
                    keyPressEvent(ke);
                return true;
            }
            default:
                break;
            }
        } else if (event->type() == QEvent::FocusOut) {
            // Leaving the editor (a click elsewhere) keeps what was typed.
            endEdit(true);
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

// --------------------------------------------------------------------------------------------- drops

void VSGrid::setOleDropMode(int mode)
{
    setAcceptDrops(mode != 0);
    viewport()->setAcceptDrops(mode != 0);
}

void VSGrid::dragEnterEvent(QDragEnterEvent *event) { event->acceptProposedAction(); }

void VSGrid::dragMoveEvent(QDragMoveEvent *event)
{
    trackMouse(event->position().toPoint() + viewport()->geometry().topLeft());
    event->acceptProposedAction();
}

void VSGrid::dropEvent(QDropEvent *event)
{
    const QPoint pos = event->position().toPoint() + viewport()->geometry().topLeft();
    trackMouse(pos);
    event->acceptProposedAction();
    emit oleDragDrop(event->mimeData(), buttonOf(event->buttons()), shiftOf(event->modifiers()), xTwips(pos.x()),
                     yTwips(pos.y()));
}
