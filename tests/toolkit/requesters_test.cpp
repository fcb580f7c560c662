#include "imaging/decoders/image_decoding.h"
#include "imaging/image.h"
#include "toolkit/platform/window_container.h"
#include "toolkit/requester_script.h"
#include "toolkit/requesters.h"
#include "toolkit/timers.h"

#include "gadget_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <sys/stat.h>

namespace {

class RequestersTest : public GadgetTest {
protected:
    void TearDown() override
    {
        scriptRequesters(false);
        nextSelectedFile();
        GadgetTest::TearDown();
    }
};

// Runs `act` on the modal window once a requester shows one. Polls every 10 ms; when no
// requester appears within 5 seconds, or the one acted on is still open 5 seconds later, the
// test fails and the window is closed, so that the requester returns instead of blocking.
class WhenModal {
public:
    explicit WhenModal(std::function<void(QWidget*)> act)
        : m_act(std::move(act))
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }

    bool acted() const { return m_acted; }

private:
    static constexpr int MAX_POLLS = 500;

    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        const bool open = modal && modal->isVisible();
        if (!m_acted && open) {
            m_acted = true;
            m_polls = 0;
            m_modal = modal;
            m_act(modal);
            return;
        }
        if (m_acted && (!m_modal || !m_modal->isVisible())) {
            m_timer.stop();
            return;
        }
        if (++m_polls < MAX_POLLS)
            return;
        m_timer.stop();
        ADD_FAILURE() << (m_acted ? "the requester stayed open" : "no requester appeared");
        if (auto* dialog = qobject_cast<QDialog*>(m_modal ? m_modal.data() : modal))
            dialog->reject();
        else if (QWidget* window = m_modal ? m_modal.data() : modal)
            window->close();
    }

    std::function<void(QWidget*)> m_act;
    QTimer m_timer;
    QPointer<QWidget> m_modal;
    int m_polls = 0;
    bool m_acted = false;
};

// Types into the chooser's file name field, as the user does; several names in double quotes.
void typeFileName(QFileDialog* dialog, const QString& names)
{
    auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(field, nullptr);
    field->setText(names);
}

QAbstractButton* buttonTitled(QWidget* box, const QString& title)
{
    for (QAbstractButton* button : box->findChildren<QAbstractButton*>()) {
        if (button->text() == title)
            return button;
    }
    return nullptr;
}

TEST_F(RequestersTest, TheScriptAnswersAndRecordsWhatWasAsked)
{
    scriptRequesters(true);
    scriptMessageAnswer(MESSAGE_SECOND_BUTTON);
    scriptInputAnswer("1234,56");
    EXPECT_EQ(messageRequester("Quit", "Sure?", MESSAGE_YES_NO), MESSAGE_SECOND_BUTTON);
    EXPECT_EQ(text(inputRequester("Width", "Please enter", "0.0")), "1234,56");

    // No answer left, or one of another kind: the nothing answer, and the answer waits.
    EXPECT_EQ(messageRequester("Info", nullptr), 0);
    scriptInputAnswer("later");
    EXPECT_EQ(messageRequester("Info", "Currently working on this part."), 0);
    EXPECT_EQ(text(openFileRequester("Open", "", "Images|*.png,*.jpg", 0)), "");
    EXPECT_EQ(pendingRequesterAnswers(), 1);
    EXPECT_EQ(text(inputRequester("Later", nullptr, nullptr)), "later");

    const auto& asked = askedRequesters();
    ASSERT_EQ(asked.size(), 6u);
    EXPECT_EQ(asked[0].kind, RequesterKind::Message);
    EXPECT_EQ(asked[0].title, "Quit");
    EXPECT_EQ(asked[0].text, "Sure?");
    EXPECT_EQ(asked[0].flags, MESSAGE_YES_NO);
    EXPECT_EQ(asked[1].kind, RequesterKind::Input);
    EXPECT_EQ(asked[1].defaultText, "0.0");
    EXPECT_EQ(asked[3].text, "Currently working on this part.");
    EXPECT_EQ(asked[4].kind, RequesterKind::OpenFile);
    // Nothing was shown.
    EXPECT_EQ(QApplication::topLevelWidgets().size(), 1);
}

TEST_F(RequestersTest, SeveralChosenFilesComeOneByOneInTheirOrder)
{
    scriptRequesters(true);
    scriptOpenFileAnswer({ "/data/b.png", "/data/a.png", "/data/c.jpg" });
    EXPECT_EQ(text(openFileRequester("Open", "", "Images|*.png,*.jpg", 0, FILE_MULTIPLE)), "/data/b.png");
    EXPECT_EQ(text(nextSelectedFile()), "/data/a.png");
    EXPECT_EQ(text(nextSelectedFile()), "/data/c.jpg");
    EXPECT_EQ(text(nextSelectedFile()), "");
    EXPECT_EQ(selectedFilePattern(), 0);

    // Without FILE_MULTIPLE one file; the next requester empties the list.
    scriptOpenFileAnswer({ "/x", "/y" });
    EXPECT_EQ(text(openFileRequester("Open", "", nullptr, 0)), "/x");
    EXPECT_EQ(text(nextSelectedFile()), "");
    scriptOpenFileAnswer({ "/p", "/q" });
    openFileRequester("Open", "", nullptr, 0, FILE_MULTIPLE);
    scriptSaveFileAnswer("/folder/out.csv");
    EXPECT_EQ(text(saveFileRequester("Save", "out.csv", nullptr, 0)), "/folder/out.csv");
    EXPECT_EQ(text(nextSelectedFile()), "");
    scriptSaveFileAnswer("");
    EXPECT_EQ(text(saveFileRequester("Save", "out.csv", nullptr, 0)), "");
}

TEST_F(RequestersTest, MessageRequesterButtonsAndKeys)
{
    struct Case {
        int flags;
        const char* action; // a key, or the title of the button to click
        int expected;
    };
    const Case cases[] = {
        { 0, "Return", MESSAGE_FIRST_BUTTON },
        { 0, "Escape", MESSAGE_FIRST_BUTTON },
        { MESSAGE_YES_NO, "Return", MESSAGE_FIRST_BUTTON },
        { MESSAGE_YES_NO, "No", MESSAGE_SECOND_BUTTON },
        { MESSAGE_YES_NO | MESSAGE_YES_NO_CANCEL, "Return", MESSAGE_FIRST_BUTTON },
        { MESSAGE_YES_NO_CANCEL, "Return", MESSAGE_FIRST_BUTTON },
        { MESSAGE_YES_NO_CANCEL, "Escape", MESSAGE_SECOND_BUTTON },
        { MESSAGE_YES_NO_CANCEL, "No", MESSAGE_SECOND_BUTTON },
        { MESSAGE_YES_NO_CANCEL, "Cancel", MESSAGE_THIRD_BUTTON },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.flags) + " " + c.action);
        QStringList titles;
        QString shownTitle;
        WhenModal when([&](QWidget* box) {
            for (QAbstractButton* button : box->findChildren<QAbstractButton*>())
                titles.push_back(button->text());
            shownTitle = box->windowTitle();
            const QString action = QString::fromLatin1(c.action);
            if (action == QLatin1String("Return"))
                QTest::keyClick(box, Qt::Key_Return);
            else if (action == QLatin1String("Escape"))
                QTest::keyClick(box, Qt::Key_Escape);
            else if (QAbstractButton* button = buttonTitled(box, action))
                button->click();
        });
        EXPECT_EQ(messageRequester("Info", "Currently working on this part.", c.flags), c.expected);
        EXPECT_TRUE(when.acted());
        EXPECT_EQ(shownTitle, QStringLiteral("Info"));
        if (c.flags & MESSAGE_YES_NO)
            EXPECT_EQ(titles.size(), 2);
        else if (c.flags & MESSAGE_YES_NO_CANCEL)
            EXPECT_EQ(titles.size(), 3);
        else
            EXPECT_EQ(titles.size(), 1);
        if (c.flags) {
            EXPECT_TRUE(titles.contains(QStringLiteral("Yes")) && titles.contains(QStringLiteral("No")));
        }
    }
}

struct InputWindow {
    QWidget* window = nullptr;
    QLabel* message = nullptr;
    QLineEdit* field = nullptr;
    QPushButton* button = nullptr;
};

InputWindow inputWindowOf(QWidget* modal)
{
    InputWindow input;
    input.window = modal;
    auto* container = dynamic_cast<WindowContainer*>(modal);
    if (!container)
        return input;
    input.message = container->content()->findChild<QLabel*>();
    input.field = container->content()->findChild<QLineEdit*>();
    input.button = container->content()->findChild<QPushButton*>();
    return input;
}

TEST_F(RequestersTest, InputRequesterLayoutAndTheButton)
{
    QRect content;
    QRect message;
    QRect field;
    QRect button;
    bool focused = false;
    WhenModal when([&](QWidget* modal) {
        InputWindow input = inputWindowOf(modal);
        ASSERT_NE(input.button, nullptr);
        content = input.message->parentWidget()->geometry();
        message = input.message->geometry();
        field = input.field->geometry();
        button = input.button->geometry();
        focused = input.field->hasFocus() || modal->focusWidget() == input.field;
        EXPECT_EQ(input.field->text(), QStringLiteral("0.0"));
        EXPECT_EQ(input.button->text(), QStringLiteral("Ok"));
        EXPECT_TRUE(input.button->isDefault());
        EXPECT_TRUE(modal->windowFlags() & Qt::WindowStaysOnTopHint);
        input.field->clear();
        QTest::keyClicks(input.field, QStringLiteral("12,5"));
        input.button->click();
    });
    EXPECT_EQ(text(inputRequester("Set Reference for Width", "Please enter like 1234,56 or 1234.56!", "0.0")),
        "12,5");
    EXPECT_TRUE(when.acted());
    EXPECT_EQ(content.size(), QSize(370, 120));
    EXPECT_EQ(message, QRect(10, 10, 350, 30));
    // The field's widget holds its frame around the inset field: the rectangle given.
    EXPECT_EQ(field, QRect(10, 50, 350, 20));
    EXPECT_EQ(button, QRect(135, 85, 100, 25));
    EXPECT_TRUE(focused);
    // The requester's window is gone, window 0 stays the current gadget list.
    EXPECT_EQ(QApplication::topLevelWidgets().size(), 1);
    EXPECT_NE(textGadget(1, 0, 0, 10, 10, "here"), 0);
}

TEST_F(RequestersTest, InputRequesterReturnPressesOkAndTheCloseBoxGivesNothing)
{
    WhenModal typed([](QWidget* modal) {
        InputWindow input = inputWindowOf(modal);
        QTest::keyClicks(input.field, QStringLiteral("7"));
        QTest::keyClick(input.field, Qt::Key_Return);
    });
    // The default text is selected: typing replaces it.
    EXPECT_EQ(text(inputRequester("T", "M", "1")), "7");

    WhenModal closed([](QWidget* modal) {
        InputWindow input = inputWindowOf(modal);
        QTest::keyClicks(input.field, QStringLiteral("typed"));
        modal->close();
    });
    EXPECT_EQ(text(inputRequester("T", "M", "default")), "");
    EXPECT_TRUE(closed.acted());
}

// Escape is the keyboard's close box: whatever was typed, the requester gives nothing, so the
// caller keeps what it had.
TEST_F(RequestersTest, InputRequesterEscapeGivesNothing)
{
    for (const char* typed : { "", "42" }) {
        SCOPED_TRACE(typed);
        // Without Escape the requester stays open, and WhenModal reports that as a failure.
        WhenModal escaped([&](QWidget* modal) {
            InputWindow input = inputWindowOf(modal);
            QTest::keyClicks(input.field, QString::fromLatin1(typed));
            QTest::keyClick(input.field, Qt::Key_Escape);
        });
        EXPECT_EQ(text(inputRequester("T", "M", "default")), "");
        EXPECT_TRUE(escaped.acted());
    }
}

TEST_F(RequestersTest, ALongMessageMakesTheWindowGrow)
{
    std::string message;
    for (int i = 0; i < 12; ++i)
        message += "A message that needs several lines of the requester. ";
    int preferred = 0;
    QRect content;
    QRect label;
    QRect field;
    QRect button;
    WhenModal when([&](QWidget* modal) {
        InputWindow input = inputWindowOf(modal);
        preferred = input.message->heightForWidth(350);
        content = input.message->parentWidget()->geometry();
        label = input.message->geometry();
        field = input.field->geometry();
        button = input.button->geometry();
        input.button->click();
    });
    inputRequester("Long", message.c_str(), "");
    ASSERT_GT(preferred, 30);
    EXPECT_EQ(content.size(), QSize(370, preferred + 90));
    EXPECT_EQ(label, QRect(10, 10, 350, preferred));
    EXPECT_EQ(field.y(), preferred + 20);
    EXPECT_EQ(button, QRect(135, preferred + 55, 100, 25));
}

TEST_F(RequestersTest, InputRequesterDropsTheEventsOfOtherWindows)
{
    buttonGadget(1, 10, 10, 100, 25, "main");
    ASSERT_EQ(addWindowTimer(0, 1, 20), 1);
    postEvent(EVENT_GADGET, 1, 0, GADGET_LEFT_CLICK);
    bool sawTicks = false;
    WhenModal when([&](QWidget* modal) {
        // Let the main window's timer tick into the requester's wait first.
        auto ticks = std::make_shared<QTimer>();
        ticks->setSingleShot(true);
        QObject::connect(ticks.get(), &QTimer::timeout, modal, [modal, ticks, &sawTicks] {
            sawTicks = true;
            inputWindowOf(modal).button->click();
        });
        ticks->start(100);
    });
    inputRequester("T", "M", "x");
    EXPECT_TRUE(sawTicks);
    removeWindowTimer(0, 1);
    EXPECT_EQ(queuedEventCount(), 0);
}

// File names outside ISO 8859-1 and inside it (which the file system keeps as UTF-8 all the
// same), and a name no pattern would allow: the path comes back as the file system's bytes, and
// the image loader opens and decodes it.
TEST_F(RequestersTest, TheOpenFileRequesterGivesPathsThatOpen)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString names[] = { QString::fromUtf8("Diagramm-\u20AC.png"),
        QString::fromUtf8("Gr\u00F6\u00DFe.png"), QStringLiteral("plain.txt") };
    QImage picture(6, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    for (const QString& name : names)
        ASSERT_TRUE(picture.save(folder.filePath(name), "PNG"));
    usePngDecoder();
    initImages();

    const QByteArray start = QFile::encodeName(folder.path());
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        QString startedIn;
        WhenModal when([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            startedIn = dialog->directory().absolutePath();
            typeFileName(dialog, name);
            static_cast<QDialog*>(dialog)->accept();
        });
        const String path
            = openFileRequester("Open Diagram File (PNG, JPG)", start.constData(), "Images|*.png,*.jpg", 0);
        EXPECT_EQ(startedIn, QDir(folder.path()).absolutePath());
        EXPECT_EQ(text(path), QFile::encodeName(folder.filePath(name)).toStdString());
        EXPECT_NE(loadImageFile(0, path), 0);
        EXPECT_EQ(imagePixelWidth(0), 6);
    }
    releaseAllImages();
}

// Bytes that are not UTF-8 (a Latin-1 "\xe9"): Qt shows them as U+FFFD, and the path that
// comes back is still the file system's own, for a file chosen from the list and for the
// proposed name taken as it was shown. A folder Qt cannot show gives way to the one above it.
TEST_F(RequestersTest, FileRequestersKeepNamesThatAreNotUtf8)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string base = QFile::encodeName(folder.path()).toStdString();
    // Qt cannot remove names it cannot decode: the folder goes by its bytes.
    struct RemovedByBytes {
        std::string path;
        ~RemovedByBytes()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } removed { base };
    const std::string picture = base + "/\xe9.png";
    QImage image(6, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(QStringLiteral("%1/plain.png").arg(folder.path()), "PNG"));
    ASSERT_EQ(std::rename((base + "/plain.png").c_str(), picture.c_str()), 0);
    ASSERT_EQ(mkdir((base + "/\xe9").c_str(), 0700), 0);
    usePngDecoder();
    initImages();

    WhenModal opened([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        typeFileName(dialog, QFile::decodeName("\xe9.png"));
        static_cast<QDialog*>(dialog)->accept();
    });
    const String path = openFileRequester("Open", base.c_str(), nullptr, 0);
    EXPECT_EQ(text(path), picture);
    EXPECT_NE(loadImageFile(0, path), 0);
    releaseAllImages();

    QString shownName;
    WhenModal saved([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        shownName = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
        static_cast<QDialog*>(dialog)->accept();
    });
    const std::string table = base + "/\xe9.csv";
    EXPECT_EQ(text(saveFileRequester("Save", table.c_str(), nullptr, 0)), table);
    EXPECT_EQ(shownName, QFile::decodeName("\xe9.csv"));

    QString startedIn;
    WhenModal inFolder([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        startedIn = dialog->directory().absolutePath();
        static_cast<QDialog*>(dialog)->reject();
    });
    saveFileRequester("Save", (base + "/\xe9/table.csv").c_str(), nullptr, 0);
    EXPECT_EQ(startedIn, QDir(folder.path()).absolutePath());
}

TEST_F(RequestersTest, TheOpenFileRequesterTakesSeveralFilesInTheirOrder)
{
    QTemporaryDir folder;
    for (const char* name : { "a.png", "b.png", "c.png" }) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    WhenModal when([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFiles);
        typeFileName(dialog, QStringLiteral("\"c.png\" \"a.png\" \"b.png\""));
        static_cast<QDialog*>(dialog)->accept();
    });
    const QByteArray start = QFile::encodeName(folder.path());
    const std::string first = text(openFileRequester("Open", start.constData(), nullptr, 0, FILE_MULTIPLE));
    EXPECT_EQ(first, QFile::encodeName(folder.filePath(QStringLiteral("c.png"))).toStdString());
    EXPECT_EQ(
        text(nextSelectedFile()), QFile::encodeName(folder.filePath(QStringLiteral("a.png"))).toStdString());
    EXPECT_EQ(
        text(nextSelectedFile()), QFile::encodeName(folder.filePath(QStringLiteral("b.png"))).toStdString());
    EXPECT_EQ(text(nextSelectedFile()), "");
}

TEST_F(RequestersTest, TheSaveFileRequesterProposesTheNameAndCancelGivesNothing)
{
    QTemporaryDir folder;
    QString proposed;
    WhenModal when([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        proposed = name->text();
        static_cast<QDialog*>(dialog)->accept();
    });
    const QByteArray start = QFile::encodeName(folder.filePath(QStringLiteral("table.csv")));
    EXPECT_EQ(text(saveFileRequester("Save", start.constData(), "CSV|*.csv", 0)), start.toStdString());
    EXPECT_EQ(proposed, QStringLiteral("table.csv"));

    WhenModal cancelled([](QWidget* modal) { qobject_cast<QFileDialog*>(modal)->reject(); });
    EXPECT_EQ(text(saveFileRequester("Save", start.constData(), nullptr, 0)), "");
    EXPECT_TRUE(cancelled.acted());
}

} // namespace
