// The about box: the product's picture, icon, name, version and build number, copyright, support address and home
// page, a link to the licence text and the legal notice. Its texts come from the program file's version block and
// the program's string table, or, for a rebranded installation, from the owner texts of OEM/OEM.INI.
//
// Contract: UI thread. MakeAboutBoxTexts is the whole choice of texts, testable without a window; the dialog only
// shows them. RunAboutBox is what Help > About runs.
#pragma once

#include "core/OemInfo.h"

#include <QDialog>

#include <string>

class CQvImageCodec;
class ProgramServices;
class QLabel;

struct AboutBoxSources
{
    std::string programPath;    // the program file: its version block
    std::string installFolder;  // the program root: "license.txt" and "OEM/" lie in it (empty: the program's folder)
    bool korean = false;        // the user-interface language picks the owner texts' section
    tagOEM_INFO oem;
    const CQvImageCodec* codec = nullptr;  // reads the owner's picture (null: a codec of the dialog's own)
};

struct AboutBoxTexts
{
    std::string windowTitle;
    std::string productName;
    std::string versionLine;
    std::string copyright;
    std::string email;  // also the "mailto:" target
    std::string homepage;
    std::string legalNotice;
    std::string licensePath;  // empty when the file is missing: the link is then disabled
    std::string picturePath;  // the owner's picture; empty for the product's own
};

AboutBoxTexts MakeAboutBoxTexts(const AboutBoxSources& sources);

class CUIAboutDlg : public QDialog
{
    Q_OBJECT
public:
    // The controls, found by these object names.
    enum Control
    {
        kPicture = 6012,
        kIcon = 6011,
        kProductName = 6013,
        kVersion = 6014,
        kCopyright = 6015,
        kLicenseLink = 6019,
        kEmailCaption = 6020,
        kEmailLink = 6021,
        kHomepageCaption = 6022,
        kHomepage = 6023,
        kSystemInfo = 6024,
        kLegalNotice = 6025,
        kOk = 1,
    };

    explicit CUIAboutDlg(const AboutBoxSources& sources, QWidget* parent = nullptr);

    const AboutBoxTexts& Texts() const { return m_texts; }

private:
    AboutBoxTexts m_texts;
};

// Shows the about box of `program` modally over `parent`.
void RunAboutBox(QWidget* parent, ProgramServices& program);
