// clsHClusterOutput: the report writer.
//
// Lays the results of one analysis out in cells of the scratch worksheet "Results" of
// the add-in workbook "Korvel.xla": a header, the distance or similarity matrix, the
// agglomeration schedule, the cophenetic correlation, a text dendrogram and free comment
// lines. It computes nothing statistical; it only places values, texts and formats.
//
// One writer serves one report. The controller uses it in this order:
//
//   clsHClusterOutput out(context);          // clears and colours the scratch sheet
//   out.Method(m); out.MethodText(mt); out.ClusterType(t);
//   out.Measure(s); out.MeasureText(st); out.Power(p);
//   out.OutputHeader("Data!$A$1:$F$21");     // the only section that reads the options
//   out.InsertBlankLines(1);
//   out.OutputMatrix(labels, labels, matrix, "Distance Matrix (Euclidean)", {}, maxCols);
//   ...                                       // schedule, correlation, dendrogram, comments
//   host::RangePtr block = out.Results();      // A1 to (cursor row, report width)
//
// The write cursor. `CurrentRow` (32-bit) is the row that the next line goes to; every
// section starts there and leaves it on the first row below what it wrote. Its
// arithmetic is checked: leaving the 32-bit range raises overflow (6) and the cursor
// keeps its earlier value. `UsedColumns` (16-bit) is the report's width so far as a
// high-water mark; only the matrix table and the text dendrogram raise it.
//
// Formats. The add-in library's cell formatter is applied in three roles only:
// - FormatHeadingBand: a row of column headings (flag false), the column of row labels
//   of the matrix table (flag true);
// - FormatValueBlock: the block of values of a table (flag always false);
// - FormatTextLine: a line of text in column 1, titles and comments (flag false), header
//   lines, heading comments and the row below the report (flag true).
//
// Errors. Every operation runs under an error trap that raises the caught error again
// with its number and description and the source
//   "Line N in DEZEZuvazoz.clsHClusterOutput.<name>"
// where N is the statement number of the failing statement inside the procedure. The
// setters and `Results` always label anew; creation, the cursor operations and the
// sections append "." and their name to a source that already begins with "Line"
// (the schedule appends ".OutputMatrix"). Names: Initialize, GetResults, LetMethod,
// LetMethodText, LetMeasure, LetMeasureText, LetClusterType, LetPower, InsertBlankLines,
// OutputComment, OutputHeader, OutputMatrix, OutputCorrelation, OutputSchedule,
// DrawDendrogram. Whatever was written before an error stays on the sheet.
//
// Not thread-safe; one writer at a time owns the scratch sheet.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <source_location>
#include <string>
#include <vector>

#include "host/addin_context.h"
#include "host/forward.h"
#include "report/cluster_membership.h"
#include "runtime/array2d.h"
#include "runtime/checked_int.h"
#include "runtime/schedule.h"
#include "runtime/variant.h"

namespace dez {

class clsHClusterOutput {
 public:
  /// Creation ("Initialize"): takes the application from `context.hostAccess`, binds the
  /// worksheet Workbooks("Korvel.xla").Worksheets("Results"), creates the settings
  /// object and the formatter from the context's factories, clears the whole sheet
  /// (values and formats) and colours its interior with the settings' BackColorIndex.
  /// The cursor starts at row 1, the width at 1. A missing workbook or sheet fails with
  /// the host's error; a missing library object is "object variable not set" (91).
  /// The context's library objects are shared, so the writer may outlive `context`.
  explicit clsHClusterOutput(host::AddinContext& context = host::DefaultAddinContext());
  /// Release: drops the sheet, the application, the settings object and the formatter,
  /// ignoring every error.
  ~clsHClusterOutput();
  clsHClusterOutput(const clsHClusterOutput&) = delete;
  clsHClusterOutput& operator=(const clsHClusterOutput&) = delete;

  // ---- Results ("GetResults") ----

  /// The block the report occupies: from A1 to (CurrentRow, UsedColumns), including the
  /// still empty row at the cursor, which first gets the text-line format (heading). A
  /// report of width 1 (no matrix table, no text dendrogram) is taken to be 6 columns
  /// wide. May be read more than once.
  host::RangePtr Results();

  // ---- options: store the value and do nothing else; there are no getters ----

  void Method(std::int32_t method);                 ///< "LetMethod"; stored, never read
  void MethodText(const std::string& methodText);   ///< "LetMethodText"; the header's method line
  void Measure(std::int32_t measure);               ///< "LetMeasure"; 5 with metric data: Minkowski
  void MeasureText(const std::string& measureText); ///< "LetMeasureText"; the header's measure line
  void ClusterType(std::int32_t clusterType);       ///< "LetClusterType"; the header's wording
  void Power(std::int16_t power);                   ///< "LetPower"; Minkowski exponent

  // ---- cursor operations ----

  /// Moves the cursor by `n` rows without writing (a negative n moves it up).
  void InsertBlankLines(std::int16_t n);

  /// Writes `comment` as a text into column 1 of the cursor row, applies the text-line
  /// format with flag `heading`, and moves the cursor below it and `numBlankLines`
  /// empty rows.
  void OutputComment(const std::string& comment, std::int16_t numBlankLines = 0, bool heading = false);

  // ---- sections ----

  /// The report header at the cursor, column 1, one line per row:
  ///   r     "Hierarchical Clustering Results for:"
  ///   r+1   by ClusterType: 0 "Binomial Data Set = ", 1 "Quantitative Data Set = ",
  ///         2 "Mixed Data Set = ", 3 "Distance Matrix = ", 4 "Similarity Matrix = ",
  ///         followed by `yRange`
  ///   r+2   types 0-2: "Distance/Similarity Measure = " MeasureText (metric data with
  ///         measure 5 adds " Power " and the exponent); types 3-4: the method line
  ///   r+3   types 0-2: "Cluster Method = " MethodText
  /// Any other type writes the title only. The heading format (text line, flag true)
  /// goes to the fixed cells A1:A4 (types 0-2) or A1:A3 (types 3-4), none otherwise.
  /// The cursor then moves to r+3 (types 3-4) or r+4 (every other value). A non-empty
  /// `comment` follows as one heading line.
  void OutputHeader(const std::string& yRange, const std::string& comment = {});

  /// The matrix table, cut into vertical slices of at most w value columns printed one
  /// below the other. w = `maxCols`, or 255 outside 1..255; a matrix wider than 10
  /// columns gets at least 10. Each slice: the title (from the second slice on after one
  /// empty row and followed by ": Part k"), a heading row of column labels from column
  /// B, then one row per matrix row with its label in column A and the values, written
  /// unrounded, one host call per cell; the diagonal cells are emptied (""). Formats per
  /// slice: text line (title), heading band false (heading row), heading band true
  /// (label column from the heading row down), value block (values).
  /// The report width becomes n_c + 1 when narrower, and at most w + 1 (this may lower
  /// a width set before). `returnCoords` is accepted and not used. A label array shorter
  /// than the matrix fails with subscript out of range (9); what was written stays.
  /// The matrix is read in place, once.
  void OutputMatrix(const StringArray& colHeaders, const StringArray& rowHeaders, const DoubleMatrix& matrix,
                    const std::string& title, const Variant& returnCoords = {}, std::int16_t maxCols = 0);

  /// The cophenetic correlation table: "Cophenetic Correlation", the heading row "R",
  /// "DF", "P", and the three numbers, DF with the number format "0". Three rows; the
  /// width is not changed.
  void OutputCorrelation(double r, std::int32_t df, double p);

  /// The agglomeration schedule: "Clustering Strategy", the heading row "Cluster",
  /// "1st Item", "2nd Item", "Distance" (or "Similarity" when `difference` is false)
  /// written as one four-value assignment, then one row per step: its number, the names
  /// of the two clusters joined (an item by its label, a cluster made by step k as
  /// "Cluster k") and the level, unchanged. n = labels.UBound() and the number of steps
  /// `stepMatrix.UBound()` - n are 16-bit. The step rows get the value format, number
  /// format "0" on the step numbers and the library's centring constant on the two name
  /// columns. An error that already carries a "Line" source gets ".OutputMatrix".
  void OutputSchedule(const StringArray& labels, const Schedule& stepMatrix, bool difference);

  /// The text dendrogram: 2n - 1 tree lines, an axis line and a scale line in column 1,
  /// n = itemLabels.UBound(). The tree is drawn with the glyph letters of the font
  /// "Korvel" on a drawing 80 columns wide (lines of 85 characters before the labels):
  /// A horizontal, B vertical, C corner left-up, E corner left-down, G branch right,
  /// H branch left, K cross. The column of a level h is
  ///   distances:    Int((h - minVal) / (maxVal - minVal) * 79) + 1
  ///   similarities: Int((maxVal - h) / (maxVal - minVal) * 79) + 1
  /// and an entry's line is its position (element 5) rounded half up. The labels, padded
  /// to the longest + 2 characters, and the scale numbers are set in "Courier New"; every
  /// cell gets size 8. The scale shows minVal and maxVal rounded to two significant
  /// figures below 10 and to whole numbers from 10 on (halves to even), in the general
  /// number form. The width becomes at least 10.
  /// `maxVal` equal to `minVal` is division by zero (11) before anything is written; a
  /// level off the scale drawn outside columns 1..85 is invalid argument (5).
  void DrawDendrogram(const Schedule& steps, const StringArray& itemLabels, double minVal, double maxVal,
                      bool difference);

  /// The "Cluster Membership" table (C++ callers only: hcluster's --clusters and --cut):
  /// a title line, a heading band "Item" and "k Clusters" per cut, then one row per item,
  /// its label and its cluster 1..k in each cut. Formatted like the schedule: value
  /// format, number format "0" on the cluster numbers, the labels centred. The width
  /// becomes at least 1 + the number of cuts.
  void OutputMembership(const StringArray& labels, const std::vector<ClusterCut>& cuts);

  // ---- C++-only inspection (not part of the automation interface) ----

  std::int32_t CurrentRow() const { return currentRow_.get(); }
  std::int16_t UsedColumns() const { return usedColumns_.get(); }
  /// Progress of the matrix table, the one section whose size grows with n squared:
  /// called with "OutputMatrix" and the fraction of its cells written, every few hundred rows.
  void SetProgress(std::function<void(const char* phase, double fraction)> progress) {
    progress_ = std::move(progress);
  }
  /// The sheet rows that the matrix table of an nr x nc matrix takes with slices of
  /// `width` columns: a title row, a heading row and nr rows per slice, and one empty
  /// row between slices. 0 for a matrix without columns.
  static std::int64_t MatrixTableRows(std::int64_t nr, std::int64_t nc, std::int32_t width) {
    if (nc <= 0) return 0;
    const std::int64_t slices = (nc + width - 1) / width;
    return slices * (nr + 2) + slices - 1;
  }
  /// The slice width that OutputMatrix uses for `maxCols` and a matrix of nc columns.
  static std::int32_t MatrixSliceWidth(std::int16_t maxCols, std::int32_t nc);

 private:
  using Loc = std::source_location;

  /// Cells(row, column) of the output sheet.
  host::RangePtr Cell(Int32 row, Int32 column, Loc where = Loc::current()) const;
  /// Writes `value` into cell (row, column).
  void PutCell(Int32 row, Int32 column, const Variant& value, Loc where = Loc::current()) const;
  /// The block spanned by the corner cells (row1, column1) and (row2, column2).
  host::RangePtr Block(Int32 row1, Int32 column1, Int32 row2, Int32 column2, Loc where = Loc::current()) const;

  // Fields in declaration order of the class.
  host::WorksheetPtr sheet_;
  Int32 currentRow_ = 1;
  Int16 usedColumns_ = std::int16_t{1};
  Int32 method_ = 0;
  std::string methodText_;
  Int32 measure_ = 0;
  std::string measureText_;
  Int32 clusterType_ = 0;
  Int16 power_ = std::int16_t{0};
  std::unique_ptr<host::clsReportSettings> settings_;
  std::unique_ptr<host::clsCellFormatter> formatter_;
  std::function<void(const char*, double)> progress_;

  // Host objects the operations reach: the application (corner-cell ranges) and the
  // host-constants object (read where a constant is used).
  host::ApplicationPtr app_;
  std::shared_ptr<host::clsHostConstants> hostConstants_;
};

}  // namespace dez
