// The File menu over a sharing folder with 1,000 working folders (all but one
// retired, with their lock files) and 200 presence files. The worker's scan is
// reported; the main thread's part (the two submenus filled from the scanned
// items and enabled) is measured when the menu opens again after a save, with
// nothing changed, and at its first fill, against creating as many plain
// QActions, and the first fill against filling a menu with as many plain
// entries (what QMenu itself costs per entry).
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

// The items of the scan after one more save: a new newest version on top, so
// every revert entry moves down by one.
const TFileMenuItems &itemsAfterASave()
{
    static const TFileMenuItems shifted = [] {
        TFileMenuItems next = items();
        TRevertEntry newest = next.reverts.front();
        newest.caption += QStringLiteral(" (new)");
        newest.hint += QStringLiteral("-new");
        newest.file.filename = newest.hint;
        next.reverts.insert(next.reverts.begin(), newest);
        return next;
    }();
    return shifted;
}

// What the main window does with the items: fills the two submenus (clients as a
// radio group with the own one checked, revert entries with their hint and the
// folder to revert to) and enables each submenu that has items.
void Fill(QMenu &clientsMenu, QMenu &revertMenu, const TFileMenuItems &scanned, QString &reverted)
{
    FillClientsMenu(clientsMenu, scanned.clients);
    FillRevertMenu(revertMenu, scanned.reverts, [&reverted](const QString &folder) { reverted = folder; });
}

// The menus opened again after a save: every revert entry changes its text.
void BM_MainThreadPart(benchmark::State &state)
{
    QMenu clientsMenu, revertMenu;
    QString reverted;
    bool shifted = false;
    for (auto _ : state) {
        Fill(clientsMenu, revertMenu, shifted ? itemsAfterASave() : items(), reverted);
        shifted = !shifted;
    }
    benchmark::DoNotOptimize(reverted);
}

// The menus opened again with nothing changed.
void BM_MainThreadSameItems(benchmark::State &state)
{
    QMenu clientsMenu, revertMenu;
    QString reverted;
    for (auto _ : state)
        Fill(clientsMenu, revertMenu, items(), reverted);
    benchmark::DoNotOptimize(reverted);
}

// The menus' first fill, when every entry is made.
void BM_MainThreadFirstFill(benchmark::State &state)
{
    QString reverted;
    for (auto _ : state) {
        QMenu clientsMenu, revertMenu;
        Fill(clientsMenu, revertMenu, items(), reverted);
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
BENCHMARK(BM_MainThreadSameItems)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MainThreadFirstFill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorActions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorMenuEntries)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return bench::runWithFigures(argc, argv,
        { { "filemenu.main_thread/floor", "BM_MainThreadPart", "BM_FloorActions", "<=", 2.0 },
            { "filemenu.main_thread_same/floor", "BM_MainThreadSameItems", "BM_FloorActions", "<=", 2.0 },
            { "filemenu.first_fill/floor", "BM_MainThreadFirstFill", "BM_FloorActions", "<=", 2.0 },
            { "filemenu.first_fill/menu_entries", "BM_MainThreadFirstFill", "BM_FloorMenuEntries",
                "<=", 2.0 },
            { "filemenu.scan_seconds", "BM_Scan", "", "", 0 },
            { "filemenu.scan/floor", "BM_Scan", "BM_FloorActions", "", 0 },
            { "filemenu.items", "BM_Scan/items", "", ">=", kFolders - 1 + kUsers } });
}
