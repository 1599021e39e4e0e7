// SPDX-License-Identifier: GPL-3.0-or-later
// The writer of the data file and the configuration file: a write that
// fails at any step, the final flush of a small file included, leaves the
// previous file whole and nothing beside it, and says why in Spanish.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>
#include <csignal>
#include <functional>

#include "common/atomic_file.h"

namespace {

constexpr uid_t kNobody = 65534;

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// A sweep of 50 data lines: well under the file device's buffer, so a full
// disk shows only when the buffer is flushed.
QByteArray smallSweep() {
    QByteArray text;
    for (int k = 0; k < 50; ++k) text += QByteArray::number(k * 100) + ",.5,-.25,100,0,2048\r\n";
    return text;
}

// Permissions do not bind the superuser: the write then runs as "nobody",
// who owns the folder and the file. Any other user is bound already.
class AsOwnerOf {
  public:
    explicit AsOwnerOf(const QStringList& paths) {
        if (geteuid() != 0) return;
        for (const QString& p : paths) {
            if (chown(QFile::encodeName(p).constData(), kNobody, kNobody) != 0) return;
        }
        switched_ = setresgid(kNobody, kNobody, 0) == 0 && setresuid(kNobody, kNobody, 0) == 0;
    }
    ~AsOwnerOf() {
        if (!switched_) return;
        if (setresuid(0, 0, 0) != 0 || setresgid(0, 0, 0) != 0) std::abort();
    }
    AsOwnerOf(const AsOwnerOf&) = delete;
    AsOwnerOf& operator=(const AsOwnerOf&) = delete;

  private:
    bool switched_ = false;
};

// Runs f with files limited to limit bytes: the disk is "full" past it.
WriteOutcome withFileSizeLimit(rlim_t limit, const std::function<WriteOutcome()>& f) {
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = limit;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const WriteOutcome outcome = f();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    return outcome;
}

}  // namespace

class TstAtomicFile : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString folder(const QString& name) {
        const QString f = dir_.filePath(name);
        [&] { QVERIFY(QDir().mkpath(f)); }();
        return f;
    }

  private slots:
    void initTestCase() {
        // "nobody" must reach the folders below.
        QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                               QFile::ReadOther | QFile::ExeOther);
    }

    void replacesTheWholeFile() {
        const QString f = folder("replace");
        const QString path = f + "/DATOS.DAT";
        writeFile(path, QByteArray(5000, 'x'));
        const WriteOutcome outcome = writeFileAtomically(path, smallSweep());
        QVERIFY(outcome.written);
        QVERIFY(outcome.reason.isEmpty());
        QCOMPARE(readAll(path), smallSweep());
        QCOMPARE(QDir(f).entryList(QDir::Files | QDir::Hidden), QStringList{"DATOS.DAT"});
    }

    void failedWriteKeepsThePreviousFile_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("reason");
        QTest::newRow("full at the final flush of a small file") << "flush"
                                                                 << "disco lleno";
        QTest::newRow("full halfway through a large file") << "large"
                                                           << "disco lleno";
        QTest::newRow("read-only file") << "read-only file"
                                        << "sin permiso de escritura";
        QTest::newRow("read-only file and folder") << "read-only all"
                                                   << "sin permiso de escritura";
        QTest::newRow("missing folder") << "missing"
                                        << "la carpeta no existe";
        QTest::newRow("a folder by that name") << "folder"
                                               << "es una carpeta";
    }
    void failedWriteKeepsThePreviousFile() {
        QFETCH(QString, how);
        QFETCH(QString, reason);
        const QString f = folder(QString(QTest::currentDataTag()).replace(' ', '_'));
        QString path = f + "/DATOS.DAT";
        writeFile(path, "previous\r\n");

        WriteOutcome outcome;
        if (how == "flush") {
            outcome =
                withFileSizeLimit(512, [&] { return writeFileAtomically(path, smallSweep()); });
        } else if (how == "large") {
            outcome = withFileSizeLimit(
                4096, [&] { return writeFileAtomically(path, QByteArray(100000, '7')); });
        } else if (how.startsWith("read-only")) {
            QFile::setPermissions(path, QFile::ReadOwner);
            if (how == "read-only all")
                QFile::setPermissions(f, QFile::ReadOwner | QFile::ExeOwner);
            {
                AsOwnerOf owner({f, path});
                outcome = writeFileAtomically(path, smallSweep());
            }
            QFile::setPermissions(f, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        } else if (how == "missing") {
            outcome = writeFileAtomically(f + "/none/DATOS.DAT", smallSweep());
            QVERIFY(!QFileInfo::exists(f + "/none"));
        } else {
            QVERIFY(QDir(f).mkdir("DATOS.DAT.d"));
            outcome = writeFileAtomically(f + "/DATOS.DAT.d", smallSweep());
            QVERIFY(QFileInfo(f + "/DATOS.DAT.d").isDir());
        }
        QVERIFY(!outcome.written);
        QCOMPARE(outcome.reason, reason);
        QCOMPARE(readAll(path), QByteArray("previous\r\n"));
        QCOMPARE(QDir(f).entryList(QDir::Files | QDir::Hidden), QStringList{"DATOS.DAT"});
    }

    // A folder that takes no new file, holding a file that may be written:
    // the file is written in place.
    void readOnlyFolderWritesTheFileInPlace() {
        const QString f = folder("read-only folder");
        const QString path = f + "/DATOS.DAT";
        writeFile(path, "previous\r\n");
        QFile::setPermissions(f, QFile::ReadOwner | QFile::ExeOwner);
        WriteOutcome outcome;
        {
            AsOwnerOf owner({f, path});
            // The folder must really refuse the new file, for this user.
            QFile probe(f + "/probe");
            QVERIFY(!probe.open(QIODevice::WriteOnly));
            outcome = writeFileAtomically(path, smallSweep());
        }
        QFile::setPermissions(f, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(outcome.written);
        QCOMPARE(readAll(path), smallSweep());
        QCOMPARE(QDir(f).entryList(QDir::Files | QDir::Hidden), QStringList{"DATOS.DAT"});
    }

    // A real disk that fills: a small file system (root only).
    void fullDiskKeepsThePreviousFile() {
        const QString f = folder("tmpfs");
        if (mount("tmpfs", QFile::encodeName(f).constData(), "tmpfs", 0, "size=64k") != 0) {
            QSKIP("cannot mount a small file system here");
        }
        const QString path = f + "/DATOS.DAT";
        writeFile(path, "previous\r\n");
        {
            // Fill every block left.
            QFile filler(f + "/filler");
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            const QByteArray block(4096, 'f');
            while (filler.write(block) == block.size()) {
            }
        }
        const WriteOutcome outcome = writeFileAtomically(path, smallSweep());
        const QStringList files = QDir(f).entryList(QDir::Files | QDir::Hidden);
        const QByteArray after = readAll(path);
        umount2(QFile::encodeName(f).constData(), MNT_DETACH);
        QVERIFY(!outcome.written);
        QCOMPARE(outcome.reason, QStringLiteral("disco lleno"));
        QCOMPARE(after, QByteArray("previous\r\n"));
        QCOMPARE(files, (QStringList{"DATOS.DAT", "filler"}));
    }
};

QTEST_MAIN(TstAtomicFile)
#include "tst_atomic_file.moc"
