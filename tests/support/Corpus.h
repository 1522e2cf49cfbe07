#pragma once
#include <QString>
#include <gtest/gtest.h>

// The third-party archives (read-only) that some tests read beside the ones they
// write themselves. A user's clone has none; those tests then skip and say why.
namespace Corpus {
// LEAFVIEW_FIXTURES from the environment, else the folder the build was configured with.
QString folder();
QString path(const QString &relative);
// Why the corpus cannot be used, or empty text when it can.
QString absentReason();
} // namespace Corpus

#define SKIP_WITHOUT_CORPUS()                                                                                          \
    do {                                                                                                               \
        if (const QString why_ = Corpus::absentReason(); !why_.isEmpty())                                              \
            GTEST_SKIP() << why_.toStdString();                                                                        \
    } while (false)
