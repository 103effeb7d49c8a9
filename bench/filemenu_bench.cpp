// The File menu over a sharing folder with 1,000 working folders (all but one
// retired, with their lock files) and 200 presence files. The worker's scan is
// reported; the main thread's part (the actions made from the scanned items,
// the two submenus refilled and enabled) is measured against creating as many
// plain QActions, and against filling a menu with as many plain entries (what
// QMenu itself costs per entry).
#include "bench/BenchSupport.h"
#include "document/sharing/FileMenuScan.h"
#include "mainwindow/MenuFills.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

namespace {

constexpr int kFolders = 1000;
constexpr int kUsers = 200;

struct Folder {
    QTemporaryDir dir;
    TFileMenuScanSource source;
    qint64 now = QDateTime::currentMSecsSinceEpoch();

    Folder()
    {
        source.sharingFolder = dir.path() + "/.kez/Plan.kez/";
        source.lockFileName = "Plan.kez.locked";
        source.identity = "pc7.user7";
        for (int i = 0; i < kFolders; ++i) {
            const QString folder = source.sharingFolder + QString::number(i) + (i % 10 == 9 ? "~" : "") + "/";
            QDir().mkpath(folder);
            touch(folder + "Plan.kez", now - (kFolders - i) * 60000);
            if (i + 1 < kFolders)
                touch(folder + source.lockFileName, now - (kFolders - i) * 60000 + 1000);
        }
        for (int i = 0; i < kUsers; ++i)
            touch(source.sharingFolder + QString("pc%1.user%1.user").arg(i), now - 1000);
    }

    static void touch(const QString &path, qint64 ms)
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.setFileTime(QDateTime::fromMSecsSinceEpoch(ms), QFileDevice::FileModificationTime);
    }
};

Folder &folder()
{
    static Folder f;
    return f;
}

const TFileMenuItems &items()
{
    static const TFileMenuItems scanned = ScanSharingFolder(folder().source, folder().now);
    return scanned;
}

void BM_Scan(benchmark::State &state)
{
    std::size_t found = 0;
    for (auto _ : state) {
        const TFileMenuItems scanned = ScanSharingFolder(folder().source, folder().now);
        found = scanned.clients.size() + scanned.reverts.size();
    }
    state.counters["items"] = double(found);
}

// What the main window does with the items: refills the two submenus (the old
// actions go), clients as a radio group with the own one checked, revert
// entries with their hint and the folder to revert to, and enables each submenu
// that has items.
void BM_MainThreadPart(benchmark::State &state)
{
    const TFileMenuItems &scanned = items();
    QMenu clientsMenu, revertMenu;
    QString reverted;
    const auto revert = [&reverted](const QString &folder) { reverted = folder; };
    for (auto _ : state) {
        FillClientsMenu(clientsMenu, scanned.clients);
        FillRevertMenu(revertMenu, scanned.reverts, revert);
    }
    benchmark::DoNotOptimize(reverted);
}

// The least a menu of that many entries costs: plain texts added and cleared.
void BM_FloorMenuEntries(benchmark::State &state)
{
    const TFileMenuItems &scanned = items();
    const std::size_t count = scanned.clients.size() + scanned.reverts.size();
    QMenu menu;
    for (auto _ : state) {
        menu.clear();
        for (std::size_t i = 0; i < count; ++i)
            menu.addAction(QStringLiteral("action"));
    }
}

// Floor: as many plain actions, created and freed.
void BM_FloorActions(benchmark::State &state)
{
    const TFileMenuItems &scanned = items();
    const std::size_t count = scanned.clients.size() + scanned.reverts.size();
    for (auto _ : state) {
        QObject parent;
        for (std::size_t i = 0; i < count; ++i)
            new QAction(QStringLiteral("action"), &parent);
    }
}

} // namespace

BENCHMARK(BM_Scan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MainThreadPart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorActions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorMenuEntries)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return bench::runWithFigures(argc, argv,
        { { "filemenu.main_thread/floor", "BM_MainThreadPart", "BM_FloorActions", "<=", 2.0 },
            { "filemenu.main_thread/menu_entries", "BM_MainThreadPart", "BM_FloorMenuEntries", "<=", 2.0 },
            { "filemenu.scan_seconds", "BM_Scan", "", "", 0 },
            { "filemenu.scan/floor", "BM_Scan", "BM_FloorActions", "", 0 },
            { "filemenu.items", "BM_Scan/items", "", ">=", kFolders - 1 + kUsers } });
}
