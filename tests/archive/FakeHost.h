#pragma once
#include "support/CaseName.h"
#include "support/FakeHost.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

// Archives go in the temporary root, the program folder two levels below it, so
// anything written above TmpZip shows in the root.
class ArchiveTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    FakeHost host{dir.path() + "/app/bin"};
    QString at(const QString &name) const { return dir.path() + "/" + name; }
    // Lists `path` (by its name's kind, a RAR when it has none), selects its root volume and
    // extracts every member; no partial file may survive.
    void readWhole(const QString &path)
    {
        host.open(path);
        host.selectVolume("/");
        host.extractAll(path);
        for (const QString &f : host.tmpFiles())
            EXPECT_FALSE(f.startsWith(".leafview-part")) << "no partial file survives: " << f.toStdString();
    }
    QStringList outsideTmpZip() const
    {
        QStringList all = treeOf(dir.path());
        all.removeIf([](const QString &p) { return p.startsWith("app/bin/TmpZip/"); });
        return all;
    }
};
