#include "document/commands/DocumentCommands.h"

#include "document/Document.h"
#include "document/DocumentLoadCheck.h"
#include "document/RowWalkProgress.h"
#include "document/commands/DocumentFileCheck.h"
#include "document/commands/DocumentRead.h"
#include "document/commands/DocumentSave.h"
#include "document/commands/OldDocumentImport.h"
#include "document/program/IniFile.h"
#include "document/program/Log.h"
#include "document/program/MessageDialog.h"
#include "document/program/Translation.h"
#include "document/sharing/DirWatch.h"
#include "document/sharing/SharingFiles.h"
#include "document/sharing/WorkingCopyRows.h"
#include "document/xml/XMLFile.h"
#include "platform/AtomicFile.h"
#include "platform/HeldFolder.h"
#include "platform/PathNames.h"
#include "platform/RecycleBin.h"
#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <algorithm>
#include <map>
#include <new>

namespace {

const QString kSaveError = QStringLiteral("save() error:");

// The share of an open's progress bar that reading and parsing the file take;
// loading its rows takes most of the rest.
constexpr int kParsedPercent = 60;
constexpr int kRowsPercent = 35;

// Runs a step when the scope ends, however it ends.
template <typename F> class ScopeExit {
public:
    explicit ScopeExit(F f)
        : FF(std::move(f))
    { }
    ~ScopeExit() { FF(); }
    ScopeExit(const ScopeExit &) = delete;
    ScopeExit &operator=(const ScopeExit &) = delete;

private:
    F FF;
};

class BusyCursor {
public:
    explicit BusyCursor(IDocumentCommandsHost &host)
        : FHost(host)
    {
        FHost.SetBusy(true);
    }
    ~BusyCursor() { FHost.SetBusy(false); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    IDocumentCommandsHost &FHost;
};

// The window's bracket around a whole save.
class SaveBracket {
public:
    explicit SaveBracket(IDocumentCommandsHost &host)
        : FHost(host)
    {
        FHost.SaveStarted();
    }
    ~SaveBracket() { FHost.SaveEnded(); }
    SaveBracket(const SaveBracket &) = delete;
    SaveBracket &operator=(const SaveBracket &) = delete;

private:
    IDocumentCommandsHost &FHost;
};

QString messageOf(const std::exception &e)
{
    const QString text = QString::fromLocal8Bit(e.what());
    return text.isEmpty() ? QStringLiteral("unknown failure") : text;
}

// The numbered working folders of a sharing folder, by number.
std::map<qint64, QString> workingFolders(const QString &sharingFolder)
{
    std::map<qint64, QString> folders;
    // Real folders only: pruning a link would reach into the folder it leads to.
    for (const TFoundFile &folder : ListDirectories(sharingFolder)) {
        if (const int number = WorkingFolderNumber(folder.name); number >= 0)
            folders.emplace(number, folder.name);
    }
    return folders;
}

// The user's settings file in the sharing folder is read only when it is a plain
// file of its own (or missing): a link there would lead to another user's file.
bool settingsFileOfItsOwn(const QString &fileName)
{
    if (fileName.isEmpty() || GetFileTime(fileName) == -1
        || platform::isRegularFile(fileName, platform::Links::Refuse))
        return true;
    Log(QStringLiteral("%1 is ignored: not a regular file of the sharing folder").arg(fileName));
    return false;
}

// The sharing folder an open makes beside a document: unless the open succeeds
// (Keep), what it made goes again on every way out, exceptions included, so a
// file that cannot be read leaves nothing behind.
class SharingFolderOfOpen {
public:
    explicit SharingFolderOfOpen(const QString &document)
        : FRoot(QFileInfo(document).absolutePath() + QStringLiteral("/.kez"))
        , FFolder(FRoot + QLatin1Char('/') + QFileInfo(document).fileName())
        , FRootWasThere(GetFileTime(FRoot) != -1)
        // Nothing is looked at through a ".kez" that is a link.
        , FFolderWasThere(FRootWasThere && (!platform::isRealFolder(FRoot) || GetFileTime(FFolder) != -1))
    {
        const QString name = QFileInfo(document).fileName();
        if (FFolderWasThere && platform::isRealFolder(FRoot) && platform::isRealFolder(FFolder)) {
            for (const QString &number : QDir(FFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
                const QString copy = FFolder + QLatin1Char('/') + number + QLatin1Char('/') + name;
                if (GetFileTime(copy) != -1)
                    FCopiesBefore.insert(copy);
            }
        }
    }
    SharingFolderOfOpen(const SharingFolderOfOpen &) = delete;
    SharingFolderOfOpen &operator=(const SharingFolderOfOpen &) = delete;
    ~SharingFolderOfOpen()
    {
        if (FKeep)
            return;
        // The working copy this open wrote into a folder others share.
        if (!FCopy.isEmpty() && platform::isRegularFile(FCopy, platform::Links::Refuse))
            platform::removeFile(FCopy);
        // Made a moment ago by this open, so all it holds is this open's (the
        // removal does not follow links).
        if (!FFolderWasThere && platform::isRealFolder(FRoot) && platform::isRealFolder(FFolder))
            QDir(FFolder).removeRecursively();
        if (!FRootWasThere)
            QDir().rmdir(FRoot);
    }
    void Keep() { FKeep = true; }
    // The working copy the open's watcher uses: removed again unless it was there.
    void UsedCopy(const QString &copy)
    {
        const QString absolute = QFileInfo(copy).absoluteFilePath();
        if (!FCopiesBefore.contains(absolute) && absolute.startsWith(FFolder + QLatin1Char('/')))
            FCopy = absolute;
    }

private:
    QString FRoot;
    QString FFolder;
    bool FRootWasThere;
    bool FFolderWasThere;
    bool FKeep = false;
    QSet<QString> FCopiesBefore;
    QString FCopy;
};

// Copies a plain file (a document may be large) through the atomic writer,
// which stays inside the folder it opened.
bool copyInPieces(const QString &from, const QString &to)
{
    QFile source;
    if (!platform::openRegularFile(source, from, platform::Links::Follow))
        return false;
    // Made by the file system where it can; never held in memory whole.
    return bool(platform::copyFileAtomically(source.handle(), to));
}

// Keeps the answers to the questions a trial load asks (a file of a newer
// version), so that loading the same file again for real gets the same answers
// and the user is not asked twice.
class TAnswerLog final : public IMessageDialogs {
public:
    TAnswerLog()
        : FAsk(MessageDialogs())
    { }
    // From now on the kept answers are given back, oldest first.
    TAnswerLog *Replay()
    {
        FReplaying = true;
        FNext = 0;
        return this;
    }
    int MessageDlgPosHelp(const QString &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X,
        int Y, const QString &HelpFile) override
    {
        if (FReplaying && FNext < FAnswers.size())
            return FAnswers[FNext++];
        int answer = mrCancel;
        {
            const ScopedMessageDialogs asker(FAsk);
            answer = ::MessageDlgPosHelp(Msg, DlgType, Buttons, HelpCtx, X, Y, HelpFile);
        }
        if (!FReplaying)
            FAnswers.append(answer);
        return answer;
    }

private:
    IMessageDialogs *FAsk;
    QList<int> FAnswers;
    qsizetype FNext = 0;
    bool FReplaying = false;
};

platform::Result<std::unique_ptr<TXMLFile>> ReadLoadableCopy(const QString &fileName, TAnswerLog &answers)
{
    using Read = platform::Result<std::unique_ptr<TXMLFile>>;
    if (!platform::isRegularFile(fileName, platform::Links::Refuse))
        return Read::failure(QStringLiteral("%1 is not there as a file of its own").arg(fileName));
    // Its digest goes with it: the watcher takes the rows from its tree instead of
    // parsing the same bytes again.
    auto file = std::make_unique<TXMLFile>(fileName, true);
    file->SetKeepDigest(true);
    const platform::Status loaded = file->Load([](const TXMLTree &tree) {
        if (Document::HoldsDocument(tree))
            return platform::Status();
        return platform::Status::failure(QStringLiteral("no document"));
    });
    if (!loaded)
        return loaded;
    // The present document is given up only for a copy that is known to load;
    // knowing it takes its setup and a look at its rows, not a second load.
    QString reason;
    {
        const ScopedMessageDialogs record(&answers);
        if (CanLoadDocumentTree(file->xml(), file->WasCompressed(), nullptr, &reason))
            return file;
    }
    return Read::failure(reason.isEmpty() ? QStringLiteral("it does not load") : reason);
}

} // namespace

QString CanonicalFileName(const QString &fileName)
{
    return platform::canonicalPath(fileName);
}

TDocumentCommands::TDocumentCommands(Document &document, IDocumentCommandsHost *host)
    : FDocument(document)
    , FHost(host ? host : &FDefaultHost)
    , FSettleTime(TDirWatchThread::kDefaultSettleTime)
{
    ReplaceWatcher(QString());
}

TDocumentCommands::~TDocumentCommands()
{
    FDocument.SetDiffSink(nullptr);
    FDirWatchThread.reset();
}

QString TDocumentCommands::FileName() const
{
    return FDirWatchThread->Filename();
}

void TDocumentCommands::ReplaceWatcher(const QString &fileName, bool copyDocument)
{
    FDocument.SetDiffSink(nullptr);
    FDirWatchThread.reset();
    FDirWatchThread = std::make_unique<TDirWatchThread>(fileName, FDocument, FShareFiles, copyDocument);
    ++FWatchers;
    FDirWatchThread->SetSettleTime(FSettleTime);
    FDocument.SetDiffSink(FDirWatchThread.get());
    // The one place the window learns the document's name: every road that
    // names, renames or empties the document (new, open, reload, revert, save
    // as, sharing given up) passes here.
    FHost->SetCaption(FDirWatchThread->GetPossibleFileName());
}

void TDocumentCommands::SetShareFileSystem(std::shared_ptr<TShareFileSystem> files)
{
    FShareFiles = std::move(files);
}

void TDocumentCommands::SetSettleTime(std::chrono::milliseconds time)
{
    FSettleTime = time;
    FDirWatchThread->SetSettleTime(time);
}

int TDocumentCommands::MessageFileNotSaved()
{
    const QString name = FileName();
    const QString text = name.isEmpty()
        ? Translate(QStringLiteral("Do you want to save changes?"))
        : Translate(QStringLiteral("Do you want to save changes to %s?"), { name });
    return MessageDlg(text, mtConfirmation, { mbYes, mbNo, mbCancel });
}

bool TDocumentCommands::StorePendingOrAsk()
{
    TDirWatchThread &watcher = Watcher();
    if (watcher.NumPendingEvents() == 0 && !FSaveFailed)
        return true;
    if (!watcher.Filename().isEmpty()) {
        BusyCursor busy(*FHost);
        FHost->ProcessMessages();
        watcher.ForceStorePending();
    }
    if (watcher.NumPendingEvents() == 0 && !FSaveFailed)
        return true;
    switch (MessageFileNotSaved()) {
    case mrNo:
        return true;
    case mrYes:
        // The records are given up only once the document holding them is saved.
        return FileName().isEmpty() ? ActionSaveAsExecute() : ActionSaveExecute();
    default:
        return false;
    }
}

// ---------------------------------------------------------------- new

bool TDocumentCommands::ActionNewExecute()
{
    if (!StorePendingOrAsk())
        return false;
    Reset();
    return true;
}

void TDocumentCommands::Reset(TRowIDs ids)
{
    FInitialDeOverlap = false;
    // Another document (a reload keeps the failed save to ask about).
    if (ids == TRowIDs::StartAgain)
        FSaveFailed = false;
    ReplaceWatcher(QString());
    Document &doc = FDocument;
    UpdateBracket bracket(doc, Translate(QStringLiteral("resetting...")));
    FHost->DocumentReset();
    {
        UndoRecordingPause noUndo(doc.UndoRedo());
        doc.SetOverlappingNodes({});
        doc.SetMinUnit(muDay);
        doc.ResetDocument(ids);
        FViewSettings.ColWidth = 8;
        FViewSettings.FontSize = 10;
    }
    FHost->ResetChartFontSize(FViewSettings.FontSize);
    TDocumentSetup setup = doc.Setup();
    setup.FMaxHistoryFiles = 30;
    setup.FCompressedSave = true;
    setup.FTimeChartColWidth = 8;
    setup.FColors = { 0xFFFFFF, 0x00FFFF, 0x00BF00 };
    setup.FHolidayColors = { 0xF0E5CC, 0xE0CA92, 0x978762 };
    setup.FDefaultHolidayReason = Translate(QStringLiteral("Holiday"));
    setup.FDefaultCalcWorkdays = true;
    doc.SetSetup(std::move(setup));
    FHost->AutoFitColumns();
}

// ---------------------------------------------------------------- open and load

bool TDocumentCommands::ActionOpenExecute()
{
    QString name = FileName();
    if (!FHost->ChooseOpenFileName(name))
        return false;
    return Open(name).ok();
}

TOpenStatus TDocumentCommands::Open(const QString &fileName)
{
    // Nothing opens in the middle of an open (the window paints meanwhile, and a
    // request of another instance may arrive).
    if (FLoading)
        return TOpenStatus::failure(QStringLiteral("another plan is being opened"), TOpenFailure::NotOpened);
    const QString name = CanonicalFileName(fileName);
    if (!QFileInfo::exists(name)) {
        MessageDlg(
            Translate(QStringLiteral("File %s does not exist."), { fileName }), mtInformation, { mbOK });
        return TOpenStatus::failure(
            QStringLiteral("%1 does not exist").arg(fileName), TOpenFailure::NotOpened);
    }
    // A pipe would make the first reader wait for ever, and a folder or a device
    // is no document: they are not opened at all.
    if (!platform::isRegularFile(name, platform::Links::Follow)) {
        MessageDlg(
            Translate(QStringLiteral("File %s is not a regular file and cannot be opened."), { fileName }),
            mtInformation, { mbOK });
        return TOpenStatus::failure(QStringLiteral("not a regular file"));
    }
    // Its size and first bytes are looked at before anything is read whole or
    // copied into the sharing folder.
    if (const TDocumentFileCheck check = CheckDocumentFile(name); !check) {
        Log(QStringLiteral("Not opened: ") + check.reason);
        using Verdict = TDocumentFileCheck::Verdict;
        if (check.verdict == Verdict::TooLarge) {
            MessageDlg(Translate(QStringLiteral("File %s is larger than a plan can be (at most %s MB) and "
                                                "was not opened."),
                           { fileName, QString::number(TXMLFile::DocumentTextLimit >> 20) }),
                mtInformation, { mbOK });
        } else if (check.verdict == Verdict::NotADocument) {
            MessageDlg(Translate(QStringLiteral("File cannot be loaded. The Filetype is unknown.")),
                mtInformation, { mbOK });
        } else {
            MessageDlg(Translate(QStringLiteral("File %s cannot be read: %s"), { fileName, check.reason }),
                mtInformation, { mbOK });
        }
        return TOpenStatus::failure(
            check.verdict == Verdict::NotADocument ? QStringLiteral("unknown filetype") : check.reason);
    }
    if (FHost->ActivateOtherInstance(name))
        return {};
    if (!StorePendingOrAsk())
        return TOpenStatus::failure(QStringLiteral("the present document was kept"), TOpenFailure::NotOpened);

    FLoading = true;
    Document &doc = FDocument;
    doc.BeginUpdate(Translate(QStringLiteral("Open File %s..."), { name }));
    TLoadResult result = TLoadResult::Failed;
    {
        const ScopeExit done([&] {
            FHost->AutoFitColumns();
            if (FInitialDeOverlap)
                InitialDeOverlap();
            {
                // Checking every row loaded, the views' walks over them, the
                // passes that wait for them and the per-document settings take a
                // while on a large plan: the window goes on painting between their
                // slices, the user's input held back and the views kept still
                // until all is done.
                const TRowWalkProgress walk(
                    [this] { FHost->ShowLoadProgress(kParsedPercent + kRowsPercent); });
                doc.EndUpdate();
                FHost->RunLoadedLayoutPasses();
                TRowWalkProgress::Pause();
                LoadFileIni();
                TRowWalkProgress::Pause();
            }
            FHost->ShowLoadProgress(-1);
            FLoading = false;
        });
        Reset();
        FLoadFailure.clear(); // a file of another type is not loaded at all
        if (name.right(4).toUpper() == QLatin1String(".KEZ"))
            result = Load(name);
        if (result == TLoadResult::Loaded) {
            FHost->AddToLastFiles(name);
        } else {
            Reset();
            // A question the user declined is no unreadable file.
            if (result == TLoadResult::Failed && !FLoadFailure.isEmpty()) {
                MessageDlg(
                    Translate(QStringLiteral("File %s could not be loaded: %s"), { fileName, FLoadFailure }),
                    mtError, { mbOK });
            } else if (result == TLoadResult::Failed) {
                MessageDlg(Translate(QStringLiteral("File cannot be loaded. The Filetype is unknown.")),
                    mtInformation, { mbOK });
            }
        }
    }
    // What a load threw is the reason, not the file's type.
    if (result == TLoadResult::Failed)
        return TOpenStatus::failure(
            FLoadFailure.isEmpty() ? QStringLiteral("unknown filetype") : FLoadFailure);
    if (result == TLoadResult::Cancelled)
        return TOpenStatus::failure(QStringLiteral("the user declined to open it"), TOpenFailure::NotOpened);
    return {};
}

void TDocumentCommands::InitialDeOverlap()
{
    Document &doc = FDocument;
    doc.ForEach(feAll, [&doc](TNodeData &node) { doc.SetRecalcEndOf(&node, true); });
    doc.UpdateOverlapping(false);
    FHost->SolveOverlapping();
    doc.UndoRedo().Clear();
}

TLoadResult TDocumentCommands::ImportFrom(const QString &fileName)
{
    if (FImportFrom)
        return FImportFrom(fileName);

    // The import's steps that belong to the commands: view settings, the
    // watcher, saving and the reset.
    class CommandsImportHost final : public IOldDocumentImportHost {
    public:
        explicit CommandsImportHost(TDocumentCommands &commands)
            : FCommands(commands)
        { }
        void ApplyViewSettings(const TCustomIniFile &ini) override
        {
            TDocumentCommands &c = FCommands;
            // The old document keeps them in the same sections and keys as the
            // per-document settings; they reach that file with the save.
            ::LoadFileIni(ini, c.FViewSettings, c.FHost->DefaultChartStart());
            c.TakeChartView();
            c.FHost->ApplyViewSettings(c.FViewSettings);
        }
        void SetInitialDeOverlap() override { FCommands.FInitialDeOverlap = true; }
        TDirWatchThread *ReplaceWatcher(const QString &fileName) override
        {
            FCommands.ReplaceWatcher(fileName);
            return &FCommands.Watcher();
        }
        bool Save(const QString &fileName) override { return FCommands.Save(fileName); }
        void Reset(Document &) override { FCommands.Reset(); }

    private:
        TDocumentCommands &FCommands;
    };

    CommandsImportHost host(*this);
    switch (::ImportFrom(FDocument, fileName, &host)) {
    case TImportResult::Imported:
        return TLoadResult::Loaded;
    case TImportResult::Cancelled:
        return TLoadResult::Cancelled;
    default:
        return TLoadResult::Failed;
    }
}

// The document read from a file that holds what the working copy holds: the rows
// the watcher keeps of that copy are made from the same parsed tree, sparing it a
// second parse of the copy (the larger part of opening a large plan).
bool TDocumentCommands::LoadAsBase(const QString &name, bool *cancelled)
{
    TXMLFile file(name, true);
    file.SetKeepDigest(true);
    // A missing or unreadable file is left to the document, which says why.
    if (!QFileInfo::exists(name) || !file.Load())
        return FDocument.LoadFrom(name, cancelled);
    if (!FDocument.LoadFromTree(file.xml(), file.WasCompressed(), cancelled))
        return false;
    Watcher().OfferBaseRows(std::make_unique<const TWorkingCopyRows>(file.xml()), file.Digest());
    return true;
}

// The document from the tree read on the other thread, the window painted now
// and then while its rows are loaded. With `base` (the working copy holds the same
// bytes), the rows the watcher keeps of the copy are made from that tree meanwhile.
bool TDocumentCommands::LoadRead(TDocumentRead &read, bool base, bool *cancelled)
{
    if (!read.Parsed()) {
        Log(QStringLiteral("loadFrom() error:") + read.Error());
        return false;
    }
    if (base)
        read.StartRows();
    const TXMLFile &file = read.File();
    const bool loaded = FDocument.LoadFromTree(
        file.xml(), file.WasCompressed(), cancelled, [this, &read](qint64 done, qint64 total) {
            // The rows read go at once: the whole tree beside the whole document
            // would be the open's peak.
            read.RowsRead(done);
            if (total > 0)
                FHost->ShowLoadProgress(kParsedPercent + int(kRowsPercent * done / total));
        });
    // The tree is many times the file: it goes before the rest of the open, freed
    // on the reading side while the window paints.
    read.ReleaseTree();
    FHost->WaitWhileLoading(
        [&read] { return read.Released(); }, [] { return kParsedPercent + kRowsPercent; });
    std::unique_ptr<const TWorkingCopyRows> rows = read.TakeRows();
    if (loaded && base && rows)
        Watcher().OfferBaseRows(std::move(rows), read.Digest(), true);
    return loaded;
}

TLoadResult TDocumentCommands::Load(const QString &name)
{
    if (!platform::isRegularFile(name, platform::Links::Follow)) {
        Reset();
        return TLoadResult::Failed;
    }
    FLoadFailure.clear();
    SharingFolderOfOpen sharing(name);
    TLoadResult result = TLoadResult::Failed;
    // Out of memory in the middle of an import, say: the open fails like any
    // other, and the user is told why.
    try {
        result = LoadSteps(name);
    } catch (const std::bad_alloc &) {
        FLoadFailure = Translate(QStringLiteral("there is not enough memory for it"));
    } catch (const std::exception &e) {
        FLoadFailure = QString::fromLocal8Bit(e.what());
    }
    if (!FLoadFailure.isEmpty())
        Log(QStringLiteral("Load failed: ") + FLoadFailure);
    if (result == TLoadResult::Loaded) {
        sharing.Keep();
        return result;
    }
    // The watcher goes first: it takes its presence file with it.
    if (platform::samePath(FileName(), name)) {
        sharing.UsedCopy(Watcher().GetWorkingFileName());
        Reset();
    }
    return result;
}

TLoadResult TDocumentCommands::LoadSteps(const QString &name)
{
    ReplaceWatcher(name, false);
    if (Watcher().ShareRefused()) {
        // Nothing of the sharing folder is read or written; the plan itself can
        // still be opened, and saved under another name.
        const int answer
            = MessageDlg(Translate(QStringLiteral("The sharing folder of this plan is not usable: "
                                                  "%s\nOpen the plan without sharing?"),
                             { Watcher().ShareProblem() }),
                mtConfirmation, { mbYes, mbNo });
        if (answer != mrYes) {
            Reset();
            return TLoadResult::Cancelled;
        }
        bool cancelled = false;
        if (!FDocument.LoadFrom(name, &cancelled))
            return cancelled ? TLoadResult::Cancelled : TLoadResult::Failed;
        // The user knows: the document keeps its name, and its saves say why
        // they cannot go there.
        Watcher().ClearError();
        return TLoadResult::Loaded;
    }
    const QString workingCopy = Watcher().GetWorkingFileName();
    // The file is read once, off the window's thread: its bytes become the working
    // copy of a sharing folder that starts anew, or are compared with the copy
    // there, and are parsed while the window shows how far it came.
    const QString copyTarget = Watcher().DocumentCopyTarget();
    TDocumentRead read(name, workingCopy, !copyTarget.isEmpty());
    FHost->WaitWhileLoading(
        [&read] { return read.Finished(); }, [&read] { return read.Percent() * kParsedPercent / 100; });
    read.Wait();
    if (read.CopyWritten())
        Watcher().DocumentCopyWritten();
    else if (!copyTarget.isEmpty())
        Log(QStringLiteral("The working copy cannot be written: ") + read.Error());

    if (read.CopyMatches()) {
        bool cancelled = false;
        if (LoadRead(read, true, &cancelled)) {
            Watcher().RecoverEarlierRuns();
            Watcher().ForceLoadTransactions();
            return TLoadResult::Loaded;
        }
        const TLoadResult result = cancelled ? TLoadResult::Cancelled : ImportFrom(name);
        if (result != TLoadResult::Loaded)
            Reset();
        return result;
    }

    const int answer = MessageDlg(
        Translate(QStringLiteral(
            "The file does not match the working copy.\\nOpen the latest Working copy instead?")),
        mtConfirmation, { mbYes, mbNo, mbCancel });
    switch (answer) {
    case mrCancel:
        Reset();
        return TLoadResult::Cancelled;
    case mrYes: {
        bool cancelled = false;
        if (!platform::isRegularFile(workingCopy, platform::Links::Refuse)
            || !LoadAsBase(workingCopy, &cancelled))
            return cancelled ? TLoadResult::Cancelled : TLoadResult::Failed;
        Watcher().RecoverEarlierRuns();
        Watcher().ForceLoadTransactions();
        Save(name);
        return TLoadResult::Loaded;
    }
    case mrNo: {
        // The file's tree is at hand; only a file that is no document goes on to
        // the old format's import.
        bool cancelled = false;
        TLoadResult result = TLoadResult::Loaded;
        if (!LoadRead(read, false, &cancelled))
            result = cancelled ? TLoadResult::Cancelled : ImportFrom(name);
        if (result == TLoadResult::Loaded)
            Save(name);
        return result;
    }
    default:
        return TLoadResult::Failed;
    }
}

bool TDocumentCommands::FilesAreIdentical(const QString &a, const QString &b)
{
    // Plain files of their own only: a pipe would never end, a link leads elsewhere.
    QFile first, second;
    if (!platform::openRegularFile(first, a, platform::Links::Refuse)
        || !platform::openRegularFile(second, b, platform::Links::Refuse))
        return false;
    if (first.size() != second.size())
        return false;
    for (;;) {
        const QByteArray x = first.read(4096);
        const QByteArray y = second.read(4096);
        if (x != y)
            return false;
        if (x.isEmpty())
            return first.error() == QFileDevice::NoError && second.error() == QFileDevice::NoError;
    }
}

// ---------------------------------------------------------------- save

bool TDocumentCommands::ActionSaveExecute()
{
    const QString name = FileName();
    return name.isEmpty() ? ActionSaveAsExecute() : Save(name);
}

bool TDocumentCommands::ActionSaveAsExecute()
{
    QString name = Watcher().GetPossibleFileName();
    if (!FHost->ChooseSaveFileName(name) || name.isEmpty())
        return false;
    name = CanonicalFileName(name);
    if (QFileInfo::exists(name)
        && MessageDlg(Translate(QStringLiteral("File %s already exists.\\nOverwrite this file?"), { name }),
               mtConfirmation, { mbOK, mbCancel })
            != mrOk)
        return false;
    return Save(name);
}

bool TDocumentCommands::Save(const QString &fileName)
{
    bool saved = false;
    bool shareUnusable = false;
    QString error;
    {
        BusyCursor busy(*FHost);
        SaveBracket bracket(*FHost);
        FHost->ProcessMessages();
        try {
            TDocumentSave save(*this, fileName, error);
            saved = save.Run();
            shareUnusable = save.ShareUnusable();
        } catch (const std::exception &e) {
            error = messageOf(e);
        }
    }
    FSaveFailed = !saved;
    if (shareUnusable) {
        Log(kSaveError + error);
        const int answer
            = MessageDlg(Translate(QStringLiteral("The sharing folder of this plan is not usable: "
                                                  "%s\nNothing was written there. Save the plan "
                                                  "under another name?"),
                             { Watcher().ShareProblem() }),
                mtWarning, { mbYes, mbNo });
        return answer == mrYes && ActionSaveAsExecute();
    }
    if (!saved) {
        Log(kSaveError + error);
        MessageDlg(
            Translate(QStringLiteral("File could not be saved, please try saving with a different filename")),
            mtWarning, { mbOK });
    }
    FHost->ProcessMessages();
    return saved;
}

platform::Status TDocumentCommands::Reload()
{
    const QString name = FileName();
    if (name.isEmpty())
        return platform::Status::failure(QStringLiteral("the document has no name"));
    // Read and tried before anything changes: a copy that is being written, is
    // damaged or does not load leaves document, watcher and queued records as
    // they are for the next try.
    const QString copyName = Watcher().NewestWorkingFileName();
    TAnswerLog answers;
    platform::Result<std::unique_ptr<TXMLFile>> read = ReadLoadableCopy(copyName, answers);
    if (!read)
        return platform::Status::failure(copyName + QStringLiteral(": ") + read.reason());
    std::unique_ptr<TXMLFile> copy = std::move(read).value();
    SaveFileIni();
    TNodeEventList events = Watcher().TakePendingEvents();
    // The folders the watcher left are still to be looked through for records of
    // this identity's earlier runs.
    std::vector<TDirWatchThread::TRecoveryScan> scans = Watcher().TakeRecoveryScans();
    Reset(TRowIDs::Keep);
    ReplaceWatcher(name);
    // The watcher starts in the newest folder with a copy: another save may have
    // made one since the copy was read (or the watcher copied the document file
    // into a folder that had none). That one is tried too; the copy read first
    // stands in when it does not load, and the reload is asked for again.
    std::unique_ptr<TXMLFile> newer;
    TAnswerLog newerAnswers;
    bool retry = false;
    const QString working = Watcher().GetWorkingFileName();
    if (working != copyName) {
        platform::Result<std::unique_ptr<TXMLFile>> newerRead = ReadLoadableCopy(working, newerAnswers);
        newer = std::move(newerRead).value();
        retry = !newer && platform::isRegularFile(working, platform::Links::Refuse);
        if (retry)
            Log(QStringLiteral("reload: ") + working + QStringLiteral(": ") + newerRead.reason());
    }
    const TXMLFile &source = newer ? *newer : *copy;
    bool loaded = false;
    {
        // The questions the trial asked (a newer version) are answered as there.
        const ScopedMessageDialogs replay(newer ? newerAnswers.Replay() : answers.Replay());
        loaded = FDocument.LoadFromTree(source.xml(), source.WasCompressed());
    }
    // The rows conflict solving needs come from the tree just loaded, when it is
    // the watcher's own working copy (the worker checks the bytes are the same).
    if (loaded && (newer || working == copyName))
        Watcher().OfferBaseRows(std::make_unique<const TWorkingCopyRows>(source.xml()), source.Digest());
    Watcher().AdoptPendingEvents(std::move(events));
    Watcher().AdoptRecoveryScans(std::move(scans));
    if (loaded) {
        Watcher().ForceLoadTransactions();
        Watcher().SetNeedReload(retry);
    }
    LoadFileIni();
    if (!loaded)
        return platform::Status::failure(source.Filename() + QStringLiteral(": it does not load"));
    return {};
}

void TDocumentCommands::ContinueUnnamed()
{
    TNodeEventList events = Watcher().TakePendingEvents();
    const QString recovery = Watcher().RecoveryFileName();
    ReplaceWatcher(QString());
    Watcher().AdoptPendingEvents(std::move(events));
    Watcher().KeepRecoveryFile(recovery);
    Watcher().SetChanged(true);
}

// Where there is no recycle bin, the document file is replaced only when the
// history holds its bytes.
bool TDocumentCommands::ReplaceDocumentFile(
    const QString &fileName, const QString &retiredDir, const TFileWriter &write, QString &error)
{
    if (QFileInfo::exists(fileName)) {
        // A copy goes to the bin, so the document itself is never missing.
        QString binError;
        bool binned = false;
        // Made inside the held sharing folder (no link on the way is followed).
        const QString aside = Watcher().GetTmpDirectory() + QStringLiteral("replaced-")
            + QString::number(QRandomGenerator::global()->generate64(), 16);
        if (platform::makeFolder(aside)) {
            const QString copy = aside + QLatin1Char('/') + QFileInfo(fileName).fileName();
            // A second name for the old file keeps its bytes in the bin: the
            // document is only ever replaced by a rename, never written in place.
            // Where the file system makes none, a copy.
            if (platform::linkFile(fileName, copy) || copyInPieces(fileName, copy)) {
                const platform::Status moved = platform::moveToRecycleBin(copy);
                binned = moved.ok();
                binError = moved.reason();
            } else {
                binError = QStringLiteral("%1 cannot be copied to %2").arg(fileName, copy);
            }
            platform::removeTree(aside);
        } else {
            binError = QStringLiteral("%1 cannot be made").arg(aside);
        }
        if (!binned) {
            const bool inHistory = FilesAreIdentical(fileName, Watcher().GetLockedFileName(retiredDir))
                || FilesAreIdentical(fileName, Watcher().GetWorkingFileName(retiredDir));
            if (!inHistory) {
                error = QStringLiteral("%1; the replaced document is in no history folder either")
                            .arg(binError);
                return false;
            }
            Log(QStringLiteral(
                "%1; the document is replaced, its previous version stays in history folder %2")
                    .arg(binError, retiredDir));
        }
    }
    // The same bytes as the working copy, as opening expects of a saved document.
    return write(fileName, error);
}

void TDocumentCommands::RunOffMainThread(const std::function<void(TSaveWork &)> &step)
{
    TSaveWork work(step);
    FHost->WaitForSaveWork(work);
    work.Finish();
}

platform::Status TDocumentCommands::DeleteFile(const QString &fileName)
{
    return platform::moveToRecycleBin(fileName);
}

void TDocumentCommands::ClearHistory()
{
    TDocumentSetup setup = FDocument.Setup();
    if (setup.FMaxHistoryFiles < 10) {
        setup.FMaxHistoryFiles = 10;
        FDocument.SetSetup(std::move(setup));
    }
    if (FileName().isEmpty() || Watcher().ShareRefused() || !Watcher().CheckShareInPlace())
        return;
    const QString sharingFolder = Watcher().GetTmpDirectory();
    const std::map<qint64, QString> folders = workingFolders(sharingFolder);
    qint64 excess = qint64(folders.size()) - FDocument.Setup().FMaxHistoryFiles;
    bool deletedOutright = false;
    // One pass, oldest first; a folder that cannot be removed is left for later.
    for (const auto &[number, name] : folders) {
        if (excess <= 0)
            break;
        if (name == Watcher().WorkingDirName())
            continue;
        const QString path = sharingFolder + name;
        const platform::Status binned = DeleteFile(path);
        const QString &error = binned.reason();
        if (binned) {
            --excess;
            continue;
        }
        // Without a recycle bin (network shares) the history goes for good: it
        // holds copies only, the document itself stays.
        if (platform::removeTree(path)) {
            if (!deletedOutright)
                Log(QStringLiteral("%1; pruned history folders are deleted").arg(error));
            deletedOutright = true;
            --excess;
            continue;
        }
        Log(QStringLiteral("History folder %1 cannot be removed: %2").arg(path, error));
    }
}

// ---------------------------------------------------------------- revert

bool TDocumentCommands::RevertToFile(const QString &workingDir)
{
    if (MessageDlg(
            Translate(QStringLiteral("Revert to last stored file?")), mtConfirmation, { mbOK, mbCancel })
        != mrOk)
        return false;
    const QString name = FileName();
    if (name.isEmpty() || workingDir.isEmpty())
        return false;
    FHost->ProcessMessages();
    Document &doc = FDocument;
    UpdateBracket bracket(doc, QString());
    // Saved first, so the present state stays in the history; without that save
    // nothing is replaced.
    if (!Save(name))
        return false;
    const QString retired = FRetiredDir;
    Reset();
    ReplaceWatcher(name);
    const QString source = Watcher().GetLockedFileName(workingDir);

    bool reverted = false;
    if (platform::isRegularFile(source, platform::Links::Refuse) && doc.LoadFrom(source)) {
        QString error;
        const QByteArray bytes = doc.FileBytes();
        const platform::WriteResult copied
            = platform::writeFileAtomically(Watcher().GetWorkingFileName(), bytes);
        if (!copied)
            error = copied.reason();
        reverted = copied
            && ReplaceDocumentFile(
                name, retired,
                [&bytes](const QString &file, QString &writeError) {
                    const platform::WriteResult written = platform::writeFileAtomically(file, bytes);
                    writeError = written.reason();
                    return bool(written);
                },
                error);
        if (reverted) {
            Watcher().SetNeedReload(false);
        } else {
            Log(kSaveError + error);
            MessageDlg(Translate(QStringLiteral(
                           "File could not be saved, please try saving with a different filename")),
                mtWarning, { mbOK });
        }
    } else {
        Load(name);
        MessageDlg(Translate(QStringLiteral("Load failed")), mtInformation, { mbOK });
    }
    return reverted;
}

// ---------------------------------------------------------------- settings

bool TDocumentCommands::SaveFileIni()
{
    const QString name = FileName();
    if (name.isEmpty() || Watcher().ShareRefused() || !Watcher().CheckShareInPlace())
        return true;
    FHost->GetViewSettings(FViewSettings);
    TakeChartView();
    FViewSettings.RowHeight = FDocument.StoredRowHeight();

    const QString fileName = Watcher().GetUserSettingsFileName();
    // A link in its place is removed, not read: the settings are written anew.
    if (!settingsFileOfItsOwn(fileName))
        platform::removeFile(fileName);
    TMemIniFile ini(fileName, platform::Links::Refuse);
    if (!ini.Loaded())
        ini.Clear();
    ::SaveFileIni(ini, FViewSettings);
    const platform::WriteResult written = ini.UpdateFile();
    if (!written)
        Log(written.reason());
    return bool(written);
}

void TDocumentCommands::LoadFileIni()
{
    const QString name = FileName();
    const QString fileName = name.isEmpty() || Watcher().ShareRefused() || Watcher().ShareLost()
        ? QString()
        : Watcher().GetUserSettingsFileName();
    const TMemIniFile ini(settingsFileOfItsOwn(fileName) ? fileName : QString(), platform::Links::Refuse);
    ::LoadFileIni(ini, FViewSettings, FHost->DefaultChartStart());
    TakeChartView();
    FDocument.UpdateBounds(true);
    FHost->ApplyViewSettings(FViewSettings);
}

void TDocumentCommands::TakeChartView()
{
    // A setup set anew sends every row pass through the whole plan and repaints
    // the whole chart and overview: each save would, for a view nobody changed.
    // Setting it also gives each state and absence reason added since its
    // colour, which the file then holds.
    const TDocumentSetup &now = FDocument.Setup();
    const qsizetype states
        = FDocument.GetColumnStrings(tbTable, FDocument.GetConnection(tbTable, cnColor)).size();
    if (now.FTimeChartColWidth == FViewSettings.ColWidth && now.FZoom == FViewSettings.Zoom
        && qsizetype(now.FColors.size()) >= states
        && qsizetype(now.FHolidayColors.size()) >= now.FHolidayReasons.size())
        return;
    TDocumentSetup setup = FDocument.Setup();
    setup.FTimeChartColWidth = FViewSettings.ColWidth;
    setup.FZoom = FViewSettings.Zoom;
    FDocument.SetSetup(std::move(setup));
}

void TDocumentCommands::SetLanguage(const QString &name)
{
    // A name reaching outside the language folder counts as unknown.
    const QString path = LanguageFilePath(name);
    FLanguage = !path.isEmpty() && QFileInfo::exists(path) ? name : QString();
    SetLanguagefile(path);
    FHost->LanguageChanged(FLanguage);
    if (FileName().isEmpty() && Watcher().NumPendingEvents() == 0)
        Reset();
}
