#pragma once

namespace lumiset {

/// \brief How the values of a region are laid out in a table file or worksheet.
enum class TableLayout {
    /// One line (worksheet row) per image row, one value per point, as the
    /// program has always written; at most kMaxExportColumns points wide.
    Table,
    /// A heading line, then one line per point, row by row from the top, left
    /// to right: its column and row (1-based), then its values (see LongLayout.h).
    /// A worksheet row per point, so any width fits; the height of a worksheet
    /// bounds the number of points instead (kMaxLongLayoutPoints).
    Long,
};

/// \brief The character set of table (CSV) files.
enum class CsvEncoding {
    /// The Windows Cyrillic code page, as table files have always been written.
    Windows1251,
    /// UTF-8 after the byte-order mark EF BB BF, which spreadsheets take as the
    /// file's encoding (so no "sep=" line may precede the text). The text is that
    /// of the windows-1251 file, except that characters the code page lacks (which
    /// it writes as "?") keep their own form.
    Utf8,
};

/// \brief The output choices a user makes once and keeps for the exports that
/// follow: the export window's options dialog and the command-line front end
/// set them in Workspace::output, and the writers read them there. The defaults
/// give, byte for byte, the files the program has always written.
struct OutputOptions {
    TableLayout layout = TableLayout::Table;
    CsvEncoding csvEncoding = CsvEncoding::Windows1251;
    /// A workbook gets the sheet "Сводка" (statistics, histograms, provenance)
    /// after its value sheets.
    bool summarySheet = false;
};

} // namespace lumiset
