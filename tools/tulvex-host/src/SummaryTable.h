#pragma once

#include <string>
#include <vector>

// A plain-text table: a header row and rows of cells, each column as wide as its widest
// cell; text columns left-aligned, numbers right-aligned.
class SummaryTable {
public:
    explicit SummaryTable(std::vector<std::string> header);

    // Rows shorter than the header are padded with empty cells.
    void addRow(std::vector<std::string> cells);
    std::string text() const;

private:
    std::vector<std::string> mHeader;
    std::vector<std::vector<std::string>> mRows;
};
