// A list shown a page at a time: the model holds the rows of one page of a
// query and moves through its pages, so a long list never sits in a widget
// whole.
#pragma once

#include "Paging.h"
#include "db/Database.h"

#include <QAbstractTableModel>
#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace ecr::views {

inline constexpr int kPageRows = 30;

using ecr::PageMove;
using ecr::TargetPage;
// The list position as the forms show it: page 3 of 12 is "3(12)".
QString PositionText(int page, int pageCount);

// A query read a page at a time. count gives the number of rows; rows gives
// them in list order and ends with "LIMIT ? OFFSET ?", bound after params.
// reversed, when given, is rows in exactly the opposite order (the order
// must be total): pages past the middle are read from the end, so the last
// page costs what the first does.
struct PagedQuery {
    std::string count;
    std::string rows;
    db::Params params;
    std::string reversed = {};
};

class PagedListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using Row = std::vector<db::Value>;
    // The text a cell shows.
    using Format = std::function<QString(const Row& row, int column)>;
    struct Column {
        QString caption;
        bool number = false; // right-aligned
    };

    PagedListModel(std::vector<Column> columns, Format format, QObject* parent = nullptr);

    // Shows the first page of the query. Throws db::DbError, leaving the
    // list empty.
    void open(db::Database& db, PagedQuery query);
    // Another page of the open query, its rows counted again; nothing
    // without a query. Throws db::DbError, leaving the page shown.
    void move(db::Database& db, PageMove m);
    // No query, no rows.
    void clear();

    bool isOpen() const { return open_; }
    int page() const { return page_; } // 1-based; 0 without rows
    int pageCount() const { return pageCount_; }
    long long total() const { return total_; }
    // "n(m)"; empty without rows.
    QString position() const;
    // Stored values of a row of the page.
    const Row& values(int row) const { return rows_.at(static_cast<std::size_t>(row)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void fetch(db::Database& db, PageMove m);

    std::vector<Column> columns_;
    Format format_;
    PagedQuery query_;
    bool open_ = false;
    std::vector<Row> rows_;
    int page_ = 0;
    int pageCount_ = 0;
    long long total_ = 0;
};

} // namespace ecr::views
