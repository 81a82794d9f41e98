#pragma once

#include "store/result.h"

#include <QCoreApplication>
#include <QString>

#include <string>

namespace loto6 {

// The core library gives its reasons as a kind with its facts and words them in English for
// the command line; the desktop program words the same facts in Japanese here. A reason that
// has no kind of its own yet is put into Japanese from its English text, each known part (and
// its "line N, column M") where it stands; a part no rule knows is left as it is.
class CoreReasons
{
    Q_DECLARE_TR_FUNCTIONS(CoreReasons)

public:
    static QString japanese(const Status &status);
    static QString japanese(const Fault &fault);
    static QString japanese(const std::string &reason);
};

} // namespace loto6
