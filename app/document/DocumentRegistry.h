// The open documents of the program: the list in opening order, the active one (the document of the main frame's
// active child frame), making, finding, opening and closing documents. It is the program's IDocumentHost.
//
// Contract: UI thread. The registry owns the documents; a closed document is out of the list at once and deleted
// once control returns to the event loop (or with the registry). Each document gets a child frame in the main
// frame when one is attached; the frame belongs to the main frame. Dropped files and the paths the program is
// started with come through OpenDocumentFile.
#pragma once

#include "core/AppSeams.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <string>
#include <vector>

class CMainFrame;
class CQvImageCodec;
class ProgramServices;
class QMdiSubWindow;

class DocumentRegistry : public QObject, public IDocumentHost
{
    Q_OBJECT

public:
    // `codec` reads image files (null: the program's codec); new documents take their settings from `program`
    // (null: the running program, when there is one).
    explicit DocumentRegistry(CQvImageCodec* codec = nullptr, ProgramServices* program = nullptr);
    ~DocumentRegistry() override;
    DocumentRegistry(const DocumentRegistry&) = delete;
    DocumentRegistry& operator=(const DocumentRegistry&) = delete;

    // The registry made last that still exists, or null.
    static DocumentRegistry* Instance();

    // New documents get their child frames here; the frame's files dropped on it are opened, and closing it asks
    // every document first.
    void AttachMainFrame(CMainFrame* frame);
    CMainFrame* MainFrame() const { return m_frame; }

    // Opens the native document file at a path (installed by the file code; without it such files cannot be
    // opened). Returns the new document or null, having told the user why.
    using NativeOpener = std::function<CVistrelDoc*(const std::string& path)>;
    void SetNativeOpener(NativeOpener opener) { m_nativeOpener = std::move(opener); }

    // ---- IDocumentHost
    // A document already showing `path` is activated and returned. An image file is read through the codec and
    // becomes a new document only when the read succeeded; otherwise the user is told which file failed and why,
    // and null returned. A file with more bits a sample than the image keeps is said so once, here.
    CVistrelDoc* OpenDocumentFile(const std::string& path) override;
    CVistrelDoc* NewDocument(const std::string& title) override;
    CVistrelView* FindLiveView() override;
    void ClearAllSelections() override;
    std::vector<OpenTitleEntry> GetOpenTitles(CVistrelDoc* active) override;

    const std::vector<CVistrelDoc*>& Documents() const { return m_documents; }
    CVistrelDoc* GetActiveDocument() const;
    void ActivateDocument(CVistrelDoc* doc);
    // The first document whose path is `path` (compared exactly, case included), activated; null when none.
    CVistrelDoc* FindDocument(const std::string& path);
    // Asks to save when modified, then closes; false when the user kept the document.
    bool CloseDocument(CVistrelDoc* doc);
    // Asks every document in turn; closes them all unless one was kept (then none is closed and false returned).
    bool CloseAllDocuments();

signals:
    void DocumentOpened(CVistrelDoc* doc);
    void DocumentClosed(CVistrelDoc* doc);
    void ActiveDocumentChanged(CVistrelDoc* doc);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnDocumentClosing(CVistrelDoc* doc);
    bool HandleDrop(QEvent* event);
    CQvImageCodec* Codec() const;

    CQvImageCodec* m_codec;
    ProgramServices* m_program;
    CMainFrame* m_frame = nullptr;  // cleared when the frame goes
    std::vector<CVistrelDoc*> m_documents;
    std::vector<QPointer<CVistrelDoc>> m_closed;  // deleted later, or with the registry
    NativeOpener m_nativeOpener;
    int m_untitledCount = 0;
    DocumentRegistry* m_previousInstance = nullptr;
};
