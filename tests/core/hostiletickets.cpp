// Hostile cases of the ticket book and of values echoed in messages: signs, control bytes,
// invalid UTF-8 and very long arguments are refused or shown escaped and cut.
#include "hostileharness.h"

using namespace loto6;
using namespace loto6::hostile;

namespace {

using V = std::vector<std::string>;

auto args(V a)
{
    return [a](Folder &) { return a; };
}

V ticket(std::initializer_list<std::string> more)
{
    V a{"tickets", "add", "1", "2", "3", "4", "5", "6"};
    a.insert(a.end(), more);
    return a;
}

// What the case's standard output holds.
std::string output(const Folder &f) { return test::readAll(f.dir / "stdout.txt"); }

} // namespace

TEST(HostileCases, TicketNumbersAndMemos)
{
    const Case cases[] = {
        {"negative_number", args({"tickets", "add", "1", "2", "3", "4", "5", "-6"}), 2,
            "has a signed number", After::Unchanged},
        {"plus_sign", args({"tickets", "add", "1", "2", "3", "4", "5", "+6"}), 2, "",
            After::Unchanged},
        {"memo_with_escape", args(ticket({"--memo", "red\x1b[31m"})), 1, "holds control characters",
            After::Unchanged},
        {"memo_with_newline", args(ticket({"--memo", "one\ntwo"})), 1, "on one line",
            After::Unchanged},
        {"memo_not_utf8", args(ticket({"--memo", "\xff\xfe memo"})), 1, "not UTF-8",
            After::Unchanged},
        {"dashes_between_numbers", args({"tickets", "add", "1-2-3-4-5-6"}), 0, "", After::Replaced,
            [](const Folder &f) {
                EXPECT_NE(output(f).find("01 02 03 04 05 06"), std::string::npos) << output(f);
            }},
    };
    for (const Case &c : cases)
        runCase(c);
}

TEST(HostileCases, EchoedValuesAreEscapedAndCut)
{
    V many{"check"};
    for (int i = 0; i < 100'000; ++i)
        many.push_back(std::to_string(i % 43 + 1));
    const Case cases[] = {
        {"check_escape_and_bell", args({"check", "1", "2", "3", "4", "5", "\x1b[2J\a"}), 2,
            "\\x1b[2J\\x07"},
        {"check_newline", args({"check", "1", "2", "3", "4", "5", "6\n7"}), 2, "\\x0a"},
        {"check_hundred_thousand_numbers", args(many), 2, "…"},
        {"tickets_add_escape", args({"tickets", "add", "1", "2", "3", "4", "5", "\x1b]0;x\a"}), 2,
            "\\x1b]0;x\\x07"},
        {"check_unknown_option", args({"check", "--\x1b[31m"}), 2, "\\x1b[31m"},
        {"unknown_command_escape", args({"\x1b[2Jfrob"}), 2, "\\x1b[2Jfrob"},
        {"database_name_with_escape",
            [](Folder &f) {
                const fs::path odd = f.write("odd\x1b[31m.db", "this is not a database\n");
                return V{"--db", odd.string(), "totals"};
            },
            1, "odd\\x1b[31m.db", After::Unchanged, nullptr, true},
    };
    for (const Case &c : cases)
        runCase(c);
}
