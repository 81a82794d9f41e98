#pragma once

#include <QCoreApplication>
#include <QString>

#include <string>

namespace loto6 {

// The core library gives its reasons in English for the command line; the desktop program shows
// them in Japanese. Each known reason (and its "line N, column M") is put into Japanese where it
// stands in the text; a part no rule knows is left as it is.
class CoreReasons
{
    Q_DECLARE_TR_FUNCTIONS(CoreReasons)

public:
    static QString japanese(const std::string &reason);
};

} // namespace loto6
