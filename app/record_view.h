#pragma once
#include <QAbstractScrollArea>

#include <array>

class QAbstractItemModel;
class QHeaderView;

namespace app {

// A list of uniform rows painted straight from a table model that only grows at its end and
// drops rows off its front, as the traffic record does. While it follows the newest row,
// new rows scroll what is already painted and only the rows that came in are painted; a
// table view would lay out every visible cell again for each new row.
//
// Rows are told apart by an absolute number that counts the rows dropped off the front, so
// the painted rows, the selection and the current row stay on their frames while the model's
// row numbers shift.
class RecordView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit RecordView(QAbstractItemModel *model, QWidget *parent = nullptr);

    [[nodiscard]] QAbstractItemModel *model() const { return m_model; }
    [[nodiscard]] QHeaderView *header() const { return m_header; }
    [[nodiscard]] int rowHeight() const { return m_rowHeight; }

    // The selected model rows, ascending: one contiguous run, as the operator picked it.
    [[nodiscard]] QList<int> selectedRows() const;
    // True while the newest row is in view; new rows then keep it there.
    [[nodiscard]] bool following() const;

signals:
    // The copy key on the view: the window copies the selected rows as it does for its button.
    void copyRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void rowsAboutToChange();
    void rowsInserted(int first, int last);
    void rowsRemoved(int first, int last);
    void modelReset();
    void updateMetrics();
    void updateGeometries();
    void updateScrollRange();
    void showFromBar(int dx);
    void scrollToRow(long long row);
    // Makes `row` the current row; with `extend` the selection runs from the anchor to it.
    void moveCurrent(long long row, bool extend);

    [[nodiscard]] int visibleLength(const QString &text, int width) const;
    [[nodiscard]] long long endRow() const;
    [[nodiscard]] long long rowAt(int y) const;
    [[nodiscard]] int pageRows() const;
    [[nodiscard]] QString rowText(long long row, int column) const;
    [[nodiscard]] bool selected(long long row) const;

    QAbstractItemModel *m_model;
    QHeaderView *m_header;
    int m_rowHeight = 0;
    // Advances of the printable ASCII characters, to cut texts to what can show.
    std::array<int, 128> m_advances{};
    int m_narrowest = 1;
    long long m_dropped = 0; // rows the model dropped off its front: absolute = this + model row
    long long m_top = 0;     // the absolute row painted at the top of the viewport
    bool m_followOnChange = true;
    long long m_anchor = -1;
    long long m_current = -1;
};

} // namespace app
