#include "tests/guide/GuideText.h"

#include <sstream>

namespace guide {

namespace {

std::string Trim(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\r')) s.pop_back();
    size_t i = s.find_first_not_of(' ');
    return i == std::string::npos ? std::string() : s.substr(i);
}

std::vector<std::string> Cells(const std::string& line) {
    std::vector<std::string> cells;
    std::string cur;
    for (size_t i = 1; i < line.size(); ++i) {
        if (line[i] == '|') {
            cells.push_back(Trim(cur));
            cur.clear();
        } else {
            cur += line[i];
        }
    }
    return cells;
}

std::vector<std::string> Quoted(const std::string& cell) {
    std::vector<std::string> out;
    for (size_t i = cell.find('`'); i != std::string::npos; i = cell.find('`', i)) {
        size_t j = cell.find('`', i + 1);
        if (j == std::string::npos) break;
        out.push_back(cell.substr(i + 1, j - i - 1));
        i = j + 1;
    }
    return out;
}

std::string Unquoted(const std::string& cell) {
    std::vector<std::string> q = Quoted(cell);
    return q.size() == 1 ? q[0] : cell;
}

}  // namespace

bool IsEvent(const Row& row) { return row.type.size() > 5 && row.type.ends_with("Event"); }

Guide Parse(const std::string& markdown) {
    Guide g;
    std::istringstream in(markdown);
    std::string line;
    int n = 0;
    Block* block = nullptr;
    Table* table = nullptr;
    while (std::getline(in, line)) {
        ++n;
        if (line.rfind("```", 0) == 0) {
            table = nullptr;
            if (block) {
                block = nullptr;
            } else {
                g.blocks.push_back({Trim(line.substr(3)), "", n + 1});
                block = &g.blocks.back();
            }
            continue;
        }
        if (block) {
            block->text += line + "\n";
            continue;
        }
        if (line.rfind("|", 0) != 0) {
            table = nullptr;
            continue;
        }
        std::vector<std::string> cells = Cells(line);
        if (!table) {
            const bool values = cells.size() == 4 && cells[2] == "Default" && cells[3] == "Accessors";
            const bool shared = cells.size() == 3 && cells[2] == "Accessors";
            if (cells.size() >= 3 && cells[1] == "Type" && (values || shared)) {
                Table t{cells[0], "", values, {}, n};
                if (size_t and_ = t.cls.find(" (and "); and_ != std::string::npos && t.cls.ends_with("'s)")) {
                    t.also = t.cls.substr(and_ + 6, t.cls.size() - and_ - 9);
                    t.cls.erase(and_);
                }
                g.tables.push_back(t);
                table = &g.tables.back();
            }
            continue;
        }
        if (line.rfind("|---", 0) == 0) continue;
        Row row;
        row.line = n;
        if (cells.size() != (table->hasValues ? 4u : 3u)) {
            row.property = "(a row of " + std::to_string(cells.size()) + " cells)";
        } else {
            row.property = Unquoted(cells[0]);
            row.type = Unquoted(cells[1]);
            if (table->hasValues) row.value = Unquoted(cells[2]);
            row.accessors = Quoted(cells.back());
        }
        table->rows.push_back(row);
    }
    return g;
}

}  // namespace guide
