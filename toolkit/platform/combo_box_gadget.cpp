// Combo box gadgets over QComboBox: a popup list of items, or with COMBOBOX_EDITABLE a text
// field with a list.
// Implements: comboBoxGadget; the kind table slots activate (editable ones), getState, setState,
// getText, setText, the item slots and setFont; GADGET_CHANGE when the user chooses an item;
// the fixed heights (20 non-editable, 25 editable, 25 after any resize).

#include "toolkit/gadgets.h"

#include "imaging/platform_image_qt.h"
#include "toolkit/event_codes.h"
#include "toolkit/platform/gadget.h"
#include "toolkit/platform/gadget_registry.h"
#include "toolkit/platform/qt_text.h"

#include <QComboBox>
#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>

namespace {

constexpr int POPUP_HEIGHT = 20;
constexpr int EDITABLE_HEIGHT = 25;
constexpr int RESIZED_HEIGHT = 25;

class ComboBoxGadget final : public QComboBox, public Gadget {
public:
    explicit ComboBoxGadget(int flags)
        : Gadget(GADGET_KIND_COMBO_BOX, flags)
    {
        if (flags & COMBOBOX_EDITABLE) {
            setEditable(true);
            // Typing into the field chooses nothing and adds no item.
            setInsertPolicy(QComboBox::NoInsert);
        }
        connect(this, &QComboBox::activated, this, [this] { post(GADGET_CHANGE); });
    }

    QWidget* widget() override { return this; }

    void activate() override
    {
        if (isEditable())
            setFocus(Qt::OtherFocusReason);
    }

    Handle state() override { return currentIndex(); }

    void setState(Handle state) override
    {
        Quiet quiet(*this);
        setCurrentIndex(state >= 0 && state < count() ? static_cast<int>(state) : -1);
    }

    QByteArray text() override
    {
        if (isEditable())
            return latin1Text(lineEdit()->text());
        return currentIndex() >= 0 ? latin1Text(QComboBox::itemText(currentIndex())) : QByteArray();
    }

    void setText(const char* text) override
    {
        const QString wanted = qtText(text);
        for (int index = count() - 1; index >= 0; --index) {
            if (QComboBox::itemText(index) == wanted) {
                Quiet quiet(*this);
                setCurrentIndex(index);
                return;
            }
        }
    }

    void addItem(int position, const char* text, Handle image) override
    {
        QString item = qtText(text);
        if (flags() & COMBOBOX_LOWER_CASE)
            item = item.toLower();
        else if (flags() & COMBOBOX_UPPER_CASE)
            item = item.toUpper();
        QIcon icon;
        if (flags() & COMBOBOX_IMAGE) {
            if (const QImage* picture = platformImageOf(image))
                icon = QIcon(QPixmap::fromImage(*picture));
        }
        const int index = position < 0 || position > count() ? count() : position;
        Quiet quiet(*this);
        // A popup that had no selection keeps none: an item is chosen by the user or setState.
        const int selected = currentIndex();
        insertItem(index, icon, item);
        if (selected == -1 && !isEditable())
            setCurrentIndex(-1);
    }

    void removeItem(int position) override
    {
        if (position < 0 || position >= count())
            return;
        Quiet quiet(*this);
        QComboBox::removeItem(position);
    }

    void clearItems() override
    {
        Quiet quiet(*this);
        clear();
    }

    int countItems() override { return count(); }

    QByteArray itemText(int item, int) override
    {
        return item >= 0 && item < count() ? latin1Text(QComboBox::itemText(item)) : QByteArray();
    }

    void setItemText(int item, const char* text, int) override
    {
        if (item >= 0 && item < count())
            QComboBox::setItemText(item, qtText(text));
    }

    void setFont(const QFont* font) override { QWidget::setFont(font ? *font : QFont()); }

    QRect adjustResize(const QRect& requested, const QRect& given) override
    {
        QRect rect = requested;
        if (!isEditable())
            rect.setHeight(RESIZED_HEIGHT);
        else if (given.height() == IGNORE_VALUE)
            rect.setHeight(height());
        return rect;
    }
};

} // namespace

Handle comboBoxGadget(int number, int x, int y, int width, int, int flags)
{
    const int height = flags & COMBOBOX_EDITABLE ? EDITABLE_HEIGHT : POPUP_HEIGHT;
    return registerGadget(number, std::make_unique<ComboBoxGadget>(flags), QRect(x, y, width, height));
}
