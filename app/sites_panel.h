// The "Sites" panel: the site report of the annotated view as a sortable
// table with a text filter and a "Conserved only" switch. Choosing a row
// asks the window to select that site's letters in the view.
#ifndef TESSARIN_APP_SITES_PANEL_H_
#define TESSARIN_APP_SITES_PANEL_H_

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QWidget>
#include <functional>

#include "view/site_report.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTableView;

namespace tessarin {

// The report's rows as a table: one column per report column, numbers as
// numbers so that sorting orders them by value.
class SiteReportModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  // Shows `report` (copied); an empty report empties the table.
  void SetReport(SiteReport report);
  const SiteReportRow& Row(int row) const {
    return report_.rows[static_cast<std::size_t>(row)];
  }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role) const override;

 private:
  SiteReport report_;
};

// Keeps the rows whose text holds the filter text (any column, any case)
// and, with conserved_only, the rows at least partly in conserved windows.
class SiteReportFilter : public QSortFilterProxyModel {
  Q_OBJECT

 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;
  void SetConservedOnly(bool conserved_only);

 protected:
  bool filterAcceptsRow(int source_row,
                        const QModelIndex& source_parent) const override;

 private:
  bool conserved_only_ = false;
};

class SitesPanel : public QWidget {
  Q_OBJECT

 public:
  explicit SitesPanel(QWidget* parent = nullptr);

  void SetReport(SiteReport report);
  void Clear() { model_.SetReport({}); }

  // Told when the user chooses a row (a click, or Enter on it).
  std::function<void(const SiteReportRow&)> on_site_chosen;
  // Told when "Save Report..." is pressed, with the filter the table shows.
  std::function<void(const ReportFilter&)> on_save;

  QTableView* Table() const { return table_; }
  QLineEdit* FilterField() const { return filter_; }
  QCheckBox* ConservedOnly() const { return conserved_only_; }
  QPushButton* SaveButton() const { return save_; }

 private:
  void Choose(const QModelIndex& index);

  SiteReportModel model_;
  SiteReportFilter proxy_;
  QLineEdit* filter_ = nullptr;
  QCheckBox* conserved_only_ = nullptr;
  QPushButton* save_ = nullptr;
  QTableView* table_ = nullptr;
};

}  // namespace tessarin

#endif  // TESSARIN_APP_SITES_PANEL_H_
