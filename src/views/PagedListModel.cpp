#include "PagedListModel.h"

#include <algorithm>

namespace ecr::views {

QString PositionText(int page, int pageCount) { return QString::fromStdString(ecr::PositionLabel(page, pageCount)); }

PagedListModel::PagedListModel(std::vector<Column> columns, Format format, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)), format_(std::move(format)) {}

void PagedListModel::open(db::Database& db, PagedQuery query) {
    clear();
    query_ = std::move(query);
    open_ = true;
    fetch(db, PageMove::First);
}

void PagedListModel::move(db::Database& db, PageMove m) {
    if (open_) fetch(db, m);
}

void PagedListModel::clear() {
    beginResetModel();
    query_ = {};
    open_ = false;
    rows_.clear();
    page_ = pageCount_ = 0;
    total_ = 0;
    endResetModel();
}

void PagedListModel::fetch(db::Database& db, PageMove m) {
    // Counted at every move: the journal may have been read again meanwhile.
    const long long total = db.scalar(query_.count, query_.params).toInt();
    const int pageCount = static_cast<int>((total + kPageRows - 1) / kPageRows);
    int page = 0;
    db::Rows rows;
    if (total > 0) {
        page = std::clamp(TargetPage(m, page_, pageCount), 1, pageCount);
        const long long first = static_cast<long long>(page - 1) * kPageRows;
        const long long n = std::min<long long>(kPageRows, total - first);
        const bool fromEnd = !query_.reversed.empty() && page > (pageCount + 1) / 2;
        db::Params params = query_.params;
        params.emplace_back(n);
        params.emplace_back(fromEnd ? total - first - n : first);
        rows = db.query(fromEnd ? query_.reversed : query_.rows, params);
        if (fromEnd) std::reverse(rows.rows.begin(), rows.rows.end());
    }
    beginResetModel();
    rows_ = std::move(rows.rows);
    page_ = page;
    pageCount_ = pageCount;
    total_ = total;
    endResetModel();
}

QString PagedListModel::position() const { return page_ > 0 ? PositionText(page_, pageCount_) : QString(); }

int PagedListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PagedListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant PagedListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    if (role == Qt::DisplayRole) return format_(values(index.row()), index.column());
    if (role == Qt::TextAlignmentRole && columns_[static_cast<std::size_t>(index.column())].number)
        return QVariant::fromValue(Qt::AlignTrailing | Qt::AlignVCenter);
    return {};
}

QVariant PagedListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) return columns_[static_cast<std::size_t>(section)].caption;
    return {};
}

} // namespace ecr::views
