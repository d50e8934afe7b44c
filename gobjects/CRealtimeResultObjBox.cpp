#include "gobjects/CRealtimeResultObjBox.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QThread>
#include <QWidget>

CRealtimeResultObjBox* pRealtimeResultBox = nullptr;

namespace {

constexpr int kCursorOffset = 10;
constexpr int kBoxWidth = 100;
constexpr int kBoxHeight = 25;

bool OnUiThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

}  // namespace

// A tool-tip type window: frameless, above the other windows, placed exactly where asked and never activated,
// which is what a box riding along with the cursor needs.
class CRealtimeResultObjBox::Window : public QWidget
{
public:
    Window()
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
        , m_text(this)
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setFocusPolicy(Qt::NoFocus);
        m_text.setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_text.setGeometry(rect());
    }

    QLabel& Text() { return m_text; }

protected:
    // The text control always covers the whole client area.
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        m_text.setGeometry(rect());
    }

private:
    QLabel m_text;
};

CRealtimeResultObjBox::CRealtimeResultObjBox()
    : m_window(std::make_unique<Window>())
{
}

CRealtimeResultObjBox::~CRealtimeResultObjBox() = default;

void CRealtimeResultObjBox::ShowText(const std::string& text)
{
    m_window->Text().setText(QString::fromStdString(text));
    m_window->update();
}

std::string CRealtimeResultObjBox::GetText() const
{
    return m_window->Text().text().toStdString();
}

void CRealtimeResultObjBox::MoveWindow(int x, int y, int width, int height)
{
    m_window->setGeometry(x, y, width, height);
}

CRect CRealtimeResultObjBox::GetWindowRect() const
{
    const QRect frame = m_window->geometry();
    return CRect(frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height());
}

void CRealtimeResultObjBox::Show()
{
    m_window->show();
}

void CRealtimeResultObjBox::Hide()
{
    m_window->hide();
}

bool CRealtimeResultObjBox::IsWindowVisible() const
{
    return m_window->isVisible();
}

void CreateRealTimeResultBox_PZ()
{
    if (pRealtimeResultBox || !qobject_cast<QApplication*>(QCoreApplication::instance()) || !OnUiThread())
        return;
    pRealtimeResultBox = new CRealtimeResultObjBox;
}

void DestroyRealTimeResultBox_PZ()
{
    if (!pRealtimeResultBox || !OnUiThread())
        return;
    delete pRealtimeResultBox;
    pRealtimeResultBox = nullptr;
}

void FeedRealtimeResultBox(const std::string& text)
{
    if (!pRealtimeResultBox || !OnUiThread())
        return;
    const QPoint cursor = QCursor::pos();
    pRealtimeResultBox->MoveWindow(cursor.x() + kCursorOffset, cursor.y() + kCursorOffset, kBoxWidth, kBoxHeight);
    pRealtimeResultBox->Show();
    pRealtimeResultBox->ShowText(text);
}

void HideRealtimeResultBox()
{
    if (pRealtimeResultBox && OnUiThread())
        pRealtimeResultBox->Hide();
}
