// Hostile cases of the update from per-draw addresses and of hostile servers: every refusal is
// a failure with its reason, and the database keeps its bytes.
#include "hostileharness.h"
#include "officialfile.h"

#include <thread>

using namespace loto6;
using namespace loto6::hostile;

namespace {

using V = std::vector<std::string>;

DrawRecord bundledDraw(int n) { return bundledDraws()[static_cast<std::size_t>(n - 1)]; }

DrawRecord madeDraw(int n, const std::string &date)
{
    DrawRecord r = test::draw(n, {2, 8, 10, 13, 27, 30, 39});
    r.date = date;
    return r;
}

// The draw number in a per-draw address ".../A102NNNN.CSV"; 0 for any other.
int drawOf(const std::string &path)
{
    const std::size_t at = path.rfind("A102");
    return at == std::string::npos || path.size() < at + 8 ? 0 : std::atoi(path.c_str() + at + 4);
}

// `update --url` with the address the server of the case answers at.
auto update(std::function<std::string(const std::string &path)> respond,
    std::string pattern = "/A102{draw}.CSV")
{
    return [=](Folder &f) { return V{"update", "--url", f.serve(respond) + pattern}; };
}

// The file for the latest held draw, and what `next` gives for every later one.
std::function<std::string(const std::string &)> afterTheLatest(
    std::function<std::string(int drawNo)> next)
{
    return [next](const std::string &path) {
        const int n = drawOf(path);
        if (n == 2144)
            return test::httpReply(200, test::officialFile(bundledDraw(2144)));
        return n > 2144 ? next(n) : test::httpReply(404, "");
    };
}

} // namespace

TEST(HostileCases, PerDrawAddresses)
{
    const auto notFound = [](const std::string &) { return test::httpReply(404, ""); };
    const auto dated = [](std::string date) {
        return afterTheLatest(
            [date](int n) { return test::httpReply(200, test::officialFile(madeDraw(n, date))); });
    };
    const Case cases[] = {
        {"every_address_404", update(notFound), 1,
            "the address looks wrong: it finds no file for draw 2144"},
        {"draw_placeholder_twice", update(notFound, "/A102{draw}/{draw}.CSV"), 1,
            "{draw} more than once"},
        {"every_address_answers_a_future_draw", update(dated("2031-01-09")), 1, "after today"},
        {"draw_dated_before_the_previous", update(dated("2019-05-02")), 1, "not after 2026-10-08"},
        {"next_draw_added", update(afterTheLatest([](int n) {
             return n == 2145 ? test::httpReply(200, test::officialFile(madeDraw(n, "2026-10-12")))
                              : test::httpReply(404, "");
         })),
            0, "", After::Replaced, [](const Folder &f) { expectDraws(f, 2145); }},
    };
    for (const Case &c : cases)
        runCase(c);
}

TEST(HostileCases, ServersThatRefuseOrOverflow)
{
    const std::string browser = "open its results page in a browser, save the result file";
    const auto whole = [](std::string reply) {
        return [reply](Folder &f) {
            f.server = std::make_unique<test::TestServer>(reply);
            return V{"update", "--url", f.server->url()};
        };
    };
    const Case cases[] = {
        {"forbidden", whole(test::httpReply(403, "no robots")), 1, browser},
        {"page_instead_of_a_file",
            whole(test::httpReply(200, "<!DOCTYPE html><html><body>check</body></html>")), 1,
            browser},
        {"page_instead_of_a_draw_file",
            update(afterTheLatest([](int) { return test::httpReply(200, "<html>check</html>"); })),
            1, browser},
        {"two_megabyte_header",
            whole("HTTP/1.1 200 OK\r\nX-Junk: " + std::string(2 * 1024 * 1024, 'a')
                + "\r\nContent-Length: 2\r\n\r\nok"),
            1, "oversized header"},
        {"many_headers", whole([] {
             std::string head = "HTTP/1.1 200 OK\r\n";
             for (int i = 0; i < 20000; ++i)
                 head += "X-Junk-" + std::to_string(i) + ": aaaaaaaaaaaaaaaa\r\n";
             return head + "Content-Length: 2\r\n\r\nok";
         }()),
            1, "oversized header"},
    };
    for (const Case &c : cases)
        runCase(c);
}
