// Status bars over plain Qt widgets.
// Implements: createStatusBar, addStatusBarField, statusBarText, initStatusBars, isStatusBar;
// the bar widget, which lays itself and its field labels out (status_bar_layout.h) at creation,
// when a field label is made and whenever the window content changes size; the look-ups of
// status_bar_fields.h.

#include "toolkit/status_bar.h"

#include "runtime/object_table.h"
#include "toolkit/application.h"
#include "toolkit/platform/gadget.h"
#include "toolkit/platform/qt_text.h"
#include "toolkit/platform/status_bar_fields.h"
#include "toolkit/platform/window_container.h"
#include "toolkit/status_bar_layout.h"

#include <QEvent>
#include <QLabel>
#include <QPointer>

#include <vector>

namespace {

class StatusBarWidget;

struct StatusBarRecord {
    // The bar's widget; non-zero while the bar exists.
    Handle handle = 0;
    StatusBarWidget* bar = nullptr;
};

void freeStatusBar(int number);

ObjectTable<StatusBarRecord>& statusBarTable()
{
    ensurePlatform();
    static ObjectTable<StatusBarRecord> table(4, freeStatusBar);
    return table;
}

// The status bar that addStatusBarField extends.
int g_currentStatusBar = -1;

// The text sits this far in from the field's ends.
constexpr int FIELD_TEXT_MARGIN = 6;

class StatusBarWidget final : public QWidget {
public:
    explicit StatusBarWidget(QWidget* content)
        : m_content(content)
    {
        content->installEventFilter(this);
    }

    ~StatusBarWidget() override
    {
        if (m_content)
            m_content->removeEventFilter(this);
        // A bar that outlives the table (its window still open when the process ends).
        if (!ObjectTable<StatusBarRecord>::tableExists())
            return;
        auto& table = statusBarTable();
        StatusBarRecord* record = table.objectRecord(m_number);
        if (record && record->bar == this) {
            table.releaseObject(m_number);
            if (g_currentStatusBar == m_number)
                g_currentStatusBar = -1;
        }
    }

    void setNumber(int number) { m_number = number; }

    void addField(int width) { m_fields.push_back(Field { width, nullptr, {}, 0 }); }

    int fieldCount() const { return static_cast<int>(m_fields.size()); }

    bool field(int field, QByteArray& text, int& flags) const
    {
        if (field < 0 || field >= fieldCount())
            return false;
        text = m_fields[static_cast<std::size_t>(field)].text;
        flags = m_fields[static_cast<std::size_t>(field)].flags;
        return true;
    }

    void setFieldText(int field, const char* text, int flags)
    {
        if (field < 0 || field >= static_cast<int>(m_fields.size()))
            return;
        Field& entry = m_fields[static_cast<std::size_t>(field)];
        const bool created = !entry.label;
        if (created) {
            entry.label = makeChildWidget<QLabel>(this);
            entry.label->setTextFormat(Qt::PlainText);
            entry.label->setContentsMargins(FIELD_TEXT_MARGIN, 0, FIELD_TEXT_MARGIN, 0);
            entry.label->show();
        }
        Qt::Alignment horizontal = Qt::AlignLeft;
        if (flags & STATUS_FIELD_CENTER)
            horizontal = Qt::AlignHCenter;
        else if (flags & STATUS_FIELD_RIGHT)
            horizontal = Qt::AlignRight;
        entry.label->setAlignment(horizontal | Qt::AlignVCenter);
        if (flags & STATUS_FIELD_RAISED)
            entry.label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        else if (flags & STATUS_FIELD_BORDERLESS)
            entry.label->setFrameStyle(QFrame::NoFrame);
        else
            entry.label->setFrameStyle(QFrame::Box | QFrame::Plain);
        entry.label->setText(qtText(text));
        entry.text = text ? QByteArray(text) : QByteArray();
        entry.flags = flags;
        if (created)
            layOut();
    }

    void layOut()
    {
        if (!m_content)
            return;
        std::vector<int> widths;
        for (const Field& field : m_fields)
            widths.push_back(field.width);
        const StatusBarLayout layout
            = layoutStatusBar(m_content->width(), m_content->height(), preferredHeight(), widths);
        setGeometry(layout.bar.x, layout.bar.y, layout.bar.width, layout.bar.height);
        raise();
        for (std::size_t i = 0; i < m_fields.size(); ++i) {
            const StatusRect& rect = layout.fields[i];
            if (m_fields[i].label)
                m_fields[i].label->setGeometry(rect.x, rect.y, rect.width, rect.height);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_content && event->type() == QEvent::Resize)
            layOut();
        return false;
    }

private:
    struct Field {
        int width; // pixels or IGNORE_VALUE
        QLabel* label; // the field's text control, made by the first text; owned by the bar
        QByteArray text; // as last set
        int flags;
    };

    // A line of text in a one-line frame, with a pixel of room above and below the field.
    int preferredHeight() const { return fontMetrics().height() + 4; }

    QPointer<QWidget> m_content;
    int m_number = 0;
    std::vector<Field> m_fields;
};

void freeStatusBar(int number)
{
    StatusBarRecord* record = statusBarTable().objectRecord(number);
    if (record)
        destroyWidget(record->bar);
}

StatusBarWidget* statusBarOf(int number)
{
    StatusBarRecord* record = statusBarTable().objectRecord(number);
    return record ? record->bar : nullptr;
}

} // namespace

Handle createStatusBar(int number, Handle window)
{
    if (number != DYNAMIC_NUMBER
        && (number < 0 || number >= ObjectTable<StatusBarRecord>::FIRST_DYNAMIC_NUMBER))
        return 0;
    WindowContainer* container = windowContainerOfHandle(window);
    if (!container)
        return 0;
    auto& table = statusBarTable();
    StatusBarRecord* record = table.allocObject(number);
    if (!record)
        return 0;
    const int assigned = number == DYNAMIC_NUMBER ? table.numberOf(record) : number;
    auto* bar = makeChildWidget<StatusBarWidget>(container->content(), container->content());
    bar->setNumber(assigned);
    record->handle = reinterpret_cast<Handle>(bar);
    record->bar = bar;
    g_currentStatusBar = assigned;
    bar->layOut();
    bar->show();
    return number == DYNAMIC_NUMBER ? assigned : record->handle;
}

void addStatusBarField(int width)
{
    if (StatusBarWidget* bar = statusBarOf(g_currentStatusBar))
        bar->addField(width);
}

void statusBarText(int number, int field, const char* text, int flags)
{
    if (StatusBarWidget* bar = statusBarOf(number))
        bar->setFieldText(field, text, flags);
}

void initStatusBars()
{
    statusBarTable();
    g_currentStatusBar = -1;
}

int statusBarFields(int bar)
{
    const StatusBarWidget* widget = statusBarOf(bar);
    return widget ? widget->fieldCount() : -1;
}

bool statusBarField(int bar, int field, QByteArray& text, int& flags)
{
    const StatusBarWidget* widget = statusBarOf(bar);
    return widget && widget->field(field, text, flags);
}

int isStatusBar(int number)
{
    return statusBarOf(number) ? 1 : 0;
}
