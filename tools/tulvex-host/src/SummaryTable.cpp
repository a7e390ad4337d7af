#include "SummaryTable.h"

#include <algorithm>
#include <cctype>

namespace {

bool looksNumeric(const std::string& cell) {
    return !cell.empty() && std::all_of(cell.begin(), cell.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0 || c == '.' || c == '-';
    });
}

}  // namespace

SummaryTable::SummaryTable(std::vector<std::string> header) : mHeader(std::move(header)) {}

void SummaryTable::addRow(std::vector<std::string> cells) {
    cells.resize(std::max(cells.size(), mHeader.size()));
    mRows.push_back(std::move(cells));
}

std::string SummaryTable::text() const {
    std::vector<std::size_t> widths(mHeader.size(), 0);
    std::vector<bool> numeric(mHeader.size(), !mRows.empty());
    for (std::size_t c = 0; c < mHeader.size(); ++c) {
        widths[c] = mHeader[c].size();
        for (const std::vector<std::string>& row : mRows) {
            widths[c] = std::max(widths[c], row[c].size());
            numeric[c] = numeric[c] && (row[c].empty() || row[c] == "-" || looksNumeric(row[c]));
        }
    }
    const auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (std::size_t c = 0; c < mHeader.size(); ++c) {
            const std::string padding(widths[c] - cells[c].size(), ' ');
            text += c == 0 ? "" : "  ";
            text += numeric[c] ? padding + cells[c] : cells[c] + padding;
        }
        while (!text.empty() && text.back() == ' ') {
            text.pop_back();
        }
        return text + "\n";
    };
    std::string text = line(mHeader);
    for (const std::vector<std::string>& row : mRows) {
        text += line(row);
    }
    return text;
}
