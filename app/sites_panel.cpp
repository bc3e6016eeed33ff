#include "app/sites_panel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <string>

#include "view/site_report_writers.h"

namespace tessarin {

namespace {

QString Text(const std::string& bytes) {
  return QString::fromLocal8Bit(bytes.data(),
                                static_cast<qsizetype>(bytes.size()));
}

// Column c of `row` as the table shows it: numbers as numbers, so that
// sorting orders them by value; an invalid value for an empty cell.
QVariant Cell(const SiteReportRow& row, int column) {
  const auto c = static_cast<std::size_t>(column);
  const std::optional<std::string> cell = ReportCell(row, c);
  if (!cell) return {};
  if (IsNumberColumn(c)) return QVariant(std::stod(*cell));
  return Text(*cell);
}

}  // namespace

void SiteReportModel::SetReport(SiteReport report) {
  beginResetModel();
  report_ = std::move(report);
  endResetModel();
}

int SiteReportModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(report_.rows.size());
}

int SiteReportModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(ReportColumns().size());
}

QVariant SiteReportModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  return Cell(Row(index.row()), index.column());
}

QVariant SiteReportModel::headerData(int section, Qt::Orientation orientation,
                                     int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  const auto& columns = ReportColumns();
  if (section < 0 || static_cast<std::size_t>(section) >= columns.size()) {
    return {};
  }
  return QString::fromLatin1(
      columns[static_cast<std::size_t>(section)].data(),
      static_cast<qsizetype>(
          columns[static_cast<std::size_t>(section)].size()));
}

void SiteReportFilter::SetConservedOnly(bool conserved_only) {
  conserved_only_ = conserved_only;
  invalidateFilter();
}

bool SiteReportFilter::filterAcceptsRow(
    int source_row, const QModelIndex& source_parent) const {
  const auto* model = static_cast<const SiteReportModel*>(sourceModel());
  if (conserved_only_ &&
      model->Row(source_row).in_conserved == InConserved::kNone) {
    return false;
  }
  return QSortFilterProxyModel::filterAcceptsRow(source_row, source_parent);
}

SitesPanel::SitesPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("SitesPanel"));
  proxy_.setSourceModel(&model_);
  proxy_.setFilterKeyColumn(-1);
  proxy_.setFilterCaseSensitivity(Qt::CaseInsensitive);
  filter_ = new QLineEdit(this);
  filter_->setObjectName(QStringLiteral("SitesFilter"));
  filter_->setPlaceholderText(QStringLiteral("Filter"));
  filter_->setClearButtonEnabled(true);
  conserved_only_ = new QCheckBox(QStringLiteral("Conserved only"), this);
  conserved_only_->setObjectName(QStringLiteral("SitesConservedOnly"));
  save_ = new QPushButton(QStringLiteral("Save Report..."), this);
  save_->setObjectName(QStringLiteral("SaveReportButton"));
  table_ = new QTableView(this);
  table_->setObjectName(QStringLiteral("SitesTable"));
  table_->setModel(&proxy_);
  table_->setSortingEnabled(true);
  table_->sortByColumn(-1, Qt::AscendingOrder);  // report order until asked
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->setVisible(false);
  table_->verticalHeader()->setDefaultSectionSize(
      table_->fontMetrics().height() + 4);

  auto* controls = new QHBoxLayout;
  controls->addWidget(filter_, 1);
  controls->addWidget(conserved_only_);
  controls->addWidget(save_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(controls);
  layout->addWidget(table_, 1);

  connect(filter_, &QLineEdit::textChanged, &proxy_,
          &QSortFilterProxyModel::setFilterFixedString);
  connect(conserved_only_, &QCheckBox::toggled, this,
          [this](bool on) { proxy_.SetConservedOnly(on); });
  connect(table_, &QTableView::clicked, this, &SitesPanel::Choose);
  connect(table_, &QTableView::activated, this, &SitesPanel::Choose);
  connect(save_, &QPushButton::clicked, this, [this] {
    if (on_save) on_save({.only_conserved = conserved_only_->isChecked()});
  });
}

void SitesPanel::SetReport(SiteReport report) {
  model_.SetReport(std::move(report));
  // Measured on the rows in sight, so a long report costs no more.
  table_->resizeColumnsToContents();
}

void SitesPanel::Choose(const QModelIndex& index) {
  const QModelIndex source = proxy_.mapToSource(index);
  if (!source.isValid() || !on_site_chosen) return;
  on_site_chosen(model_.Row(source.row()));
}

}  // namespace tessarin
