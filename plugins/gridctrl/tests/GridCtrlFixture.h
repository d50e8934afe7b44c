// A 5 x 5 grid with one heading row and column, 25-pixel rows and 40-pixel columns, cells holding "rc", shown
// and focused on (1, 1); the shared start of the widget tests.
#pragma once

#include "gridctrl/GridCtrl.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTest>

#include <memory>
#include <string>

using namespace gridctrl;

namespace {

class GridCtrlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_grid = std::make_unique<CGridCtrl>(5, 5, 1, 1);
        m_grid->resize(400, 300);
        for (int r = 0; r < 5; ++r)
            m_grid->SetRowHeight(r, 25);
        for (int c = 0; c < 5; ++c)
            m_grid->SetColumnWidth(c, 40);
        for (int r = 1; r < 5; ++r)
            for (int c = 1; c < 5; ++c)
                m_grid->SetItemText(r, c, std::to_string(r * 10 + c));
        m_grid->show();
        m_grid->activateWindow();
        m_grid->setFocus();
        QApplication::processEvents();
        m_grid->SetFocusCell({1, 1});
        m_grid->SetSelectionStart({1, 1});
    }

    QImage Grab() const
    {
        QImage image(m_grid->viewport()->size(), QImage::Format_RGB32);
        m_grid->Render(image);
        return image;
    }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, QWidget* to = nullptr)
    {
        QTest::keyClick(to ? to : m_grid.get(), static_cast<Qt::Key>(key), modifiers);
        QApplication::processEvents();
    }

    // A mouse event on the viewport; a release or a move without buttons passes Qt::NoButton as `buttons`.
    void Mouse(QEvent::Type type, QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               Qt::MouseButton button = Qt::LeftButton, Qt::MouseButtons buttons = Qt::LeftButton)
    {
        if (type == QEvent::MouseMove)
            button = Qt::NoButton;
        QMouseEvent event(type, QPointF(at), QPointF(m_grid->viewport()->mapToGlobal(at)), button, buttons,
                          modifiers);
        QApplication::sendEvent(m_grid->viewport(), &event);
    }
    void Click(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        Mouse(QEvent::MouseButtonPress, at, modifiers);
        Mouse(QEvent::MouseButtonRelease, at, modifiers, Qt::LeftButton, Qt::NoButton);
    }

    std::unique_ptr<CGridCtrl> m_grid;
};

QRgb Rgb(COLORREF c)
{
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

}  // namespace
