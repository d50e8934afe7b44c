// A document on a blank image with its view in a child frame of the main frame, wired as the document registry would
// do it but owned by the test. The frame owns the view; the document's view is GetImageView().
#pragma once

#include "document/CVistrelDoc.h"
#include "frame/CMainFrame.h"
#include "view/CVistrelView.h"

#include "qvimage/CQvImage.h"

#include <QApplication>

#include <memory>

inline std::unique_ptr<CVistrelDoc> OpenBlankInChildFrame(CMainFrame& frame, int width, int height)
{
    auto document = std::make_unique<CVistrelDoc>();
    auto* view = new CVistrelView(document.get());
    document->AddView(view);
    document->SetChildFrame(frame.AddChildFrame(view, view, document.get()));
    CQvImage image;
    image.Create(QV_RGB24, width, height, 0);
    document->SetImage("", &image);
    QApplication::processEvents();
    return document;
}
