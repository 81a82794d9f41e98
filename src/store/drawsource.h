#pragma once

#include "store/result.h"

#include <optional>
#include <string>
#include <vector>

namespace loto6 {

class Database;

// Where a draw came from and what that did to it, one entry per change, oldest first.
struct DrawSource
{
    enum class Kind { Bundled, File, Address, EntryWindow, AddCommand };
    enum class Change { Added, Filled, Replaced, Saved };

    int drawNo = 0;
    Kind kind = Kind::File;
    std::string name; // the file or address; empty for the entry window and the add command
    Change change = Change::Added;
    std::string when; // UTC, YYYY-MM-DDThh:mm:ssZ

    static DrawSource from(Kind kind, std::string name = {})
    {
        DrawSource s;
        s.kind = kind;
        s.name = std::move(name);
        return s;
    }
    // "file /path/A1022016.CSV", "address https://...", "bundled history", "entry window".
    std::string origin() const;
    // "added", "date and payout filled", "replaced by different numbers", "saved".
    std::string changeText() const;
};

// Records the change of one draw, stamped with the current time; inside the caller's
// transaction, on a database whose own tables exist (createOwnTables).
Status recordSource(Database &db, int drawNo, const DrawSource &source, DrawSource::Change change);
// Every recorded entry, or those of one draw; a database without the table gives none.
Status readSources(const Database &db, std::optional<int> drawNo, std::vector<DrawSource> &out);

} // namespace loto6
