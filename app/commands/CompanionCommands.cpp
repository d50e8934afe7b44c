// The commands that hand work to companion modules and programs.
#include "commands/AppCommands.h"

#include "commands/BitmapFile.h"
#include "commands/CommandStrings.h"
#include "core/CCalibrationList.h"
#include "core/CVistrelApp.h"
#include "core/ProgramServices.h"
#include "core/VistrelIni.h"
#include "document/CVistrelDoc.h"
#include "document/DocumentRegistry.h"
#include "frame/CommandIds.h"
#include "peers/CompanionMailbox.h"
#include "peers/CompanionMessages.h"
#include "peers/CompanionTempFolder.h"
#include "view/CImageDispWnd.h"
#include "view/CVistrelView.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "inifile/FileBytes.h"
#include "profile/CRegKey.h"
#include "qvcodec/CQvImageCodec.h"
#include "qvimage/CQvImage.h"
#include "strings/Format.h"
#include "ui/MessageBox.h"
#include "winmsg/PeerBus.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The scanner reads the length of a pixel in this unit.
constexpr int kPoreScanUnit = UNIT_MILLIMETER;
// The depth-stack result's title.
constexpr const char* kMultiFocusTitle = "Multi-Focus";

std::string ReadProductValue(const char* name)
{
    CRegKey key;
    std::string value;
    if (key.Open(HKEY_CURRENT_USER, kProductKey, KEY_READ) != ERROR_SUCCESS ||
        key.QueryStringValue(name, value) != ERROR_SUCCESS)
        return std::string();
    return value;
}

bool IsFile(const std::string& path)
{
    return !path.empty() && QFileInfo(QString::fromStdString(path)).isFile();
}

QString ProgramIdentity(const std::string& program)
{
    // A companion program becomes findable under its file's name (without extension) once it is up.
    return QFileInfo(QString::fromStdString(program)).completeBaseName();
}

void FitPerZoomFitMode(CVistrelDoc* doc)
{
    CVistrelView* view = doc ? doc->GetImageView() : nullptr;
    if (view && GetZoomFitMode() && !view->IsZoomFit())
        view->ToggleZoomFit();
}

// A document title as a file name: no folder separators, never empty.
std::string FileNameOf(const std::string& title)
{
    std::string name = title;
    for (char& c : name)
        if (c == '/' || c == ';' || c == '\0')  // ';' would split the path list the database reads
            c = '_';
    return name.empty() ? std::string("image") : name;
}

// The program's mailbox for companion programs; null before the main window exists.
CompanionMailbox* Mailbox()
{
    ProgramServices* program = TheProgram();
    return program ? program->Companions() : nullptr;
}

void ShareWithCompanions(const char* message, const std::string& text)
{
    if (CompanionMailbox* mailbox = Mailbox())
        mailbox->BroadcastWithText(message, text);
}

}  // namespace

// ---- companion modules

void CAppCommands::WriteDepthStackSettings()
{
    CRegKey key;
    if (key.Create(HKEY_CURRENT_USER, kDepthStackKey) != ERROR_SUCCESS)
        return;
    key.SetDWORDValue("Align Enable", 1);
    key.SetDWORDValue("FM Enable", 0);
}

void CAppCommands::OnDepthStackModule()
{
    WriteDepthStackSettings();
    RunExtensionModule(PlugInPath(kDepthStackModule));
}

void CAppCommands::OnDepthStack()
{
    WriteDepthStackSettings();
    DocumentRegistry* registry = DocumentRegistry::Instance();
    if (!registry)
        return;
    // The thumbnails of the open images, the live-measurement window's left out.
    const std::string liveTitle = AppCommandString(appstr::IDS_LIVE_MEASURE);
    std::vector<CVistrelDoc*> sources;
    std::vector<CQvImage*> images;
    for (CVistrelDoc* doc : registry->Documents())
        if (doc->GetTitle() != liveTitle && doc->GetImage().GetWidth() > 0) {
            sources.push_back(doc);
            images.push_back(&doc->GetFramePool().GetImage());
        }

    std::unique_ptr<ILoadedModule> module =
        m_services.loadModule ? m_services.loadModule(PlugInPath(kDepthStackModule)) : nullptr;
    if (!module)
        return;
    auto stack = reinterpret_cast<DepthStackExport>(module->Symbol("DepthStack"));
    if (!stack || images.empty())
        return;
    CQvImage result;
    if (!result.Create(QV_RGB24, images[0]->GetWidth(), images[0]->GetHeight(), 0))
        return;
    if (stack(images.data(), static_cast<int>(images.size()), &result) == 0)
        return;
    module.reset();

    CVistrelDoc* doc = m_app.NewDocument(kMultiFocusTitle);
    if (!doc)
        return;
    doc->SetImage(kMultiFocusTitle, &result);
    // The scale marker of the first image belongs to the stack as well: the images share their magnification.
    if (const CQvGObject* marker = sources[0]->GetGObjectContainer().GetFirstObject(SHAPE_SCALE_MARKER)) {
        CQvGObjectContainer& overlay = doc->GetGObjectContainer();
        overlay.SetAutoRepeatCreatingObject(0);
        if (overlay.AddObject(SHAPE_SCALE_MARKER))
            if (CQvGObject* copy = overlay.GetCreatingObject())
                *copy = *marker;
        overlay.SetAutoRepeatCreatingObject(1);
        overlay.SelectionMode(1);
        overlay.UnSelectAll();
    }
    FitPerZoomFitMode(doc);
}

void CAppCommands::OnReticle(UINT id)
{
    // The module finds its reticle files beside it, through the current folder.
    const QString saved = QDir::currentPath();
    const std::string folder = m_app.Folder(AppFolder::CustomReticle);
    QDir::setCurrent(QString::fromStdString(folder));
    std::unique_ptr<ILoadedModule> module =
        m_services.loadModule ? m_services.loadModule(folder + kCustomReticleModule) : nullptr;
    if (module) {
        const char* entry = id == cmd::ID_RETICLE_GENERATOR ? "ExtPlgConnectGenerator" : "ExtPlgConnectLoadReticle";
        if (auto connect = reinterpret_cast<ReticleConnectExport>(module->Symbol(entry)))
            connect();
        QDir::setCurrent(saved);
        return;
    }
    AfxMessageBox(kModuleNotFound);
    QDir::setCurrent(saved);
}

// ---- companion programs

bool CAppCommands::StartCompanion(const std::string& program, const QString& identity)
{
    // The program starts in its own folder; ours stays where it is.
    const std::string folder = QFileInfo(QString::fromStdString(program)).absolutePath().toStdString();
    if (!m_services.startProcess || !m_services.startProcess(program, {}, folder))
        return false;
    if (PeerBus* bus = m_services.bus ? m_services.bus() : nullptr)
        WaitForPeer(*bus, identity, m_services.peerPolls, m_services.peerPollIntervalMs);
    return true;
}

void CAppCommands::HandOverCamera()
{
    if (m_app.FindLiveView() && m_app.GetMainWnd())
        m_app.GetMainWnd()->ExecuteCommand(cmd::ID_ACQ_CAPTURE);
    if (IAcquireHost* host = m_app.AcquireHost()) {
        host->StopOverlay();
        host->ReleaseServers();
    }
}

void CAppCommands::OnImageDatabase()
{
    const std::string program = ReadProductValue("DB_PRODUCT_PATH");
    if (!IsFile(program)) {
        AfxMessageBox(AppCommandString(appstr::IDS_DATABASE_NOT_FOUND), MB_ICONERROR);
        return;
    }
    if (!StartCompanion(program, ProgramIdentity(program))) {
        AfxMessageBox(AppCommandString(appstr::IDS_DATABASE_CANNOT_START));
        return;
    }
    CVistrelDoc* doc = m_app.GetActiveDocument();
    CVistrelView* view = doc ? doc->GetImageView() : nullptr;
    const std::string folder = CompanionTempFolder();
    if (!view || folder.empty())
        return;
    const std::string path = folder + FileNameOf(doc->GetTitle()) + ".bmp";
    constexpr int kImageWithObjects = 0x01 | 0x02 | 0x04;
    if (!WriteBitmapFile(path, view->GetDispWnd()->RenderToImage(kImageWithObjects)))
        return;
    ShareWithCompanions(companion::kToImageDatabase, path + ";");
}

void CAppCommands::OnAutoMeasure()
{
    const std::string folder = m_app.Folder(AppFolder::Mensurix);
    const std::string program = folder + kAutoMeasureProgram;
    if (!IsFile(program)) {
        AfxMessageBox(AppCommandString(appstr::IDS_AUTO_MEASURE_NOT_FOUND));
        return;
    }
    const CCalibKeeper& calibration = *TheCalibrationList().GetCurrentCalibration();
    const std::string info =
        Format("%f\n%s", calibration.GetUnitsPerPixel(), CCalibKeeper::GetStoredUnitName(calibration.GetUnit()));
    WriteFileAtomically(folder + kAutoMeasureCalibrationFile, [&info](FILE* file) {
        return std::fwrite(info.data(), 1, info.size(), file) == info.size();
    });
    HandOverCamera();
    if (!StartCompanion(program, ProgramIdentity(program))) {
        // The camera goes back to this program, and the companion is not told of a folder nobody reads.
        m_app.InstallAcquisitionServers();
        AfxMessageBox(AppCommandString(appstr::IDS_AUTO_MEASURE_CANNOT_START));
        return;
    }
    ShareWithCompanions(companion::kToAutoMeasure, folder + ";");
}

void CAppCommands::OnCompanionProgram()
{
    const std::string program = ReadProductValue("JV_PRODUCT_PATH");
    if (!IsFile(program)) {
        AfxMessageBox(AppCommandString(appstr::IDS_COMPANION_NOT_FOUND), MB_ICONERROR);
        return;
    }
    HandOverCamera();
    if (!StartCompanion(program, ProgramIdentity(program))) {
        AfxMessageBox(AppCommandString(appstr::IDS_COMPANION_CANNOT_START));
        m_app.InstallAcquisitionServers();
    }
}

void CAppCommands::OnPoreScan()
{
    ProgramServices* program = &m_program;
    CVistrelDoc* doc = m_app.GetActiveDocument();
    CompanionMailbox* mailbox = Mailbox();
    PeerBus* bus = m_services.bus ? m_services.bus() : nullptr;
    if (!program || !doc || !mailbox || !bus)
        return;
    // The user asked for the scan: an image that cannot be saved or handed over is reported, never dropped quietly.
    const std::string temp = CompanionTempFolder();
    const std::string imagePath = temp.empty() ? std::string() : temp + kPoreScanImageName;
    if (imagePath.empty() || program->Codec().Save(imagePath.c_str(), &doc->GetImage(), nullptr) != 1) {
        AfxMessageBox(kPoreScanHandOverFailed, MB_ICONERROR);
        return;
    }

    const QString scanner = QString::fromLatin1(companion::kPoreScanWindowClass);
    if (!bus->FindWindow(scanner)) {
        CRegKey key;
        std::string installFolder;
        if (key.Open(HKEY_CURRENT_USER, kProductKey, KEY_READ) != ERROR_SUCCESS ||
            key.QueryStringValue("PoreScanInstPath", installFolder) != ERROR_SUCCESS) {
            AfxMessageBox(kPoreScanNotInstalled);
            return;
        }
        const std::string executable = QDir(QString::fromStdString(installFolder))
                                           .filePath(QString::fromLatin1(kPoreScanProgram))
                                           .toStdString();
        if (!m_services.startProcess || !m_services.startProcess(executable, {}, installFolder)) {
            AfxMessageBox(kPoreScanInvalidProgram, MB_ICONERROR);
            return;
        }
        if (!WaitForPeer(*bus, scanner, m_services.peerPolls, m_services.peerPollIntervalMs)) {
            AfxMessageBox(kPoreScanNoAnswer, MB_ICONERROR);
            return;
        }
    }

    double unitsPerPixel = TheCalibrationList().GetCurrentCalibration()->GetUnitsPerPixel();
    CCalibKeeper::ChangeUnit(TheCalibrationList().GetCurrentCalibration()->GetUnit(), kPoreScanUnit, unitsPerPixel);
    if (!mailbox->HandOverToPoreScan(scanner, unitsPerPixel, imagePath))
        AfxMessageBox(kPoreScanHandOverFailed, MB_ICONERROR);
}
