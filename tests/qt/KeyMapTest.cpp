// Key events become the standard virtual-key codes that stored bindings use.
#include <QKeyEvent>
#include <QTest>

#include "QtTestSupport.h"
#include "app/ViewInput.h"
#include "platform/qt/KeyMap.h"

namespace vellum::test {

class KeyMapTest : public QObject {
    Q_OBJECT
private slots:
    void ModifiersBecomeTheProgramsFlags() {
        QCOMPARE(ModifierFlags(Qt::NoModifier), unsigned(kModNone));
        QCOMPARE(ModifierFlags(Qt::ControlModifier), unsigned(kModCtrl));
        QCOMPARE(ModifierFlags(Qt::ControlModifier | Qt::ShiftModifier), unsigned(kModCtrl | kModShift));
        QCOMPARE(ModifierFlags(Qt::AltModifier | Qt::KeypadModifier), unsigned(kModAlt));
        QKeyEvent z(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(VirtualKeyFromEvent(&z), 90u);
        QCOMPARE(ModifiersOf(&z), unsigned(kModCtrl | kModShift));
    }

    void LettersDigitsAndFunctionKeys() {
        QCOMPARE(VirtualKeyFromQt(Qt::Key_A, Qt::NoModifier), 65u);
        QCOMPARE(VirtualKeyFromQt(Qt::Key_Z, Qt::ShiftModifier), 90u);
        QCOMPARE(VirtualKeyFromQt(Qt::Key_0, Qt::NoModifier), 48u);
        QCOMPARE(VirtualKeyFromQt(Qt::Key_9, Qt::NoModifier), 57u);
        QCOMPARE(VirtualKeyFromQt(Qt::Key_F1, Qt::NoModifier), 112u);
        QCOMPARE(VirtualKeyFromQt(Qt::Key_F12, Qt::NoModifier), 123u);
        QCOMPARE(VirtualKeyFromQt(Qt::Key_F23, Qt::NoModifier), 134u);
        QCOMPARE(VirtualKeyFromQt(Qt::Key_F24, Qt::NoModifier), 135u);
    }

    void ControlAndNavigationKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<uint>("code");
        const std::pair<int, uint> rows[] = {
            {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},       {Qt::Key_Backtab, 9},
            {Qt::Key_Return, 13},   {Qt::Key_Enter, 13},    {Qt::Key_Shift, 16},
            {Qt::Key_Control, 17},  {Qt::Key_Alt, 18},      {Qt::Key_Pause, 19},
            {Qt::Key_CapsLock, 20}, {Qt::Key_Escape, 27},   {Qt::Key_Space, 32},
            {Qt::Key_PageUp, 33},   {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},
            {Qt::Key_Home, 36},     {Qt::Key_Left, 37},     {Qt::Key_Up, 38},
            {Qt::Key_Right, 39},    {Qt::Key_Down, 40},     {Qt::Key_Insert, 45},
            {Qt::Key_Delete, 46},   {Qt::Key_Super_L, 91},  {Qt::Key_Super_R, 92},
            {Qt::Key_Menu, 93},     {Qt::Key_NumLock, 144}, {Qt::Key_ScrollLock, 145},
        };
        for (auto [key, code] : rows)
            QTest::newRow(QKeySequence(key).toString().toUtf8()) << key << code;
    }
    void ControlAndNavigationKeys() {
        QFETCH(int, key);
        QFETCH(uint, code);
        QCOMPARE(VirtualKeyFromQt(key, Qt::NoModifier), uint32_t(code));
    }

    void PunctuationKeysAndTheirShiftedSymbols() {
        // Each pair: the plain key and what Shift types on it; both name the key.
        const std::tuple<int, int, uint> rows[] = {
            {Qt::Key_Semicolon, Qt::Key_Colon, 186},       {Qt::Key_Equal, Qt::Key_Plus, 187},
            {Qt::Key_Comma, Qt::Key_Less, 188},            {Qt::Key_Minus, Qt::Key_Underscore, 189},
            {Qt::Key_Period, Qt::Key_Greater, 190},        {Qt::Key_Slash, Qt::Key_Question, 191},
            {Qt::Key_QuoteLeft, Qt::Key_AsciiTilde, 192},  {Qt::Key_BracketLeft, Qt::Key_BraceLeft, 219},
            {Qt::Key_Backslash, Qt::Key_Bar, 220},         {Qt::Key_BracketRight, Qt::Key_BraceRight, 221},
            {Qt::Key_Apostrophe, Qt::Key_QuoteDbl, 222},   {Qt::Key_1, Qt::Key_Exclam, 49},
            {Qt::Key_2, Qt::Key_At, 50},                   {Qt::Key_8, Qt::Key_Asterisk, 56},
            {Qt::Key_9, Qt::Key_ParenLeft, 57},            {Qt::Key_0, Qt::Key_ParenRight, 48},
        };
        for (auto [plain, shifted, code] : rows) {
            QCOMPARE(VirtualKeyFromQt(plain, Qt::NoModifier), uint32_t(code));
            QCOMPARE(VirtualKeyFromQt(shifted, Qt::ShiftModifier), uint32_t(code));
        }
    }

    void NumberPadKeysComeWithTheKeypadModifier() {
        for (int d = 0; d <= 9; ++d)
            QCOMPARE(VirtualKeyFromQt(Qt::Key_0 + d, Qt::KeypadModifier), uint32_t(96 + d));
        QCOMPARE(VirtualKeyFromQt(Qt::Key_Asterisk, Qt::KeypadModifier), 106u);
        QCOMPARE(VirtualKeyFromQt(Qt::Key_Plus, Qt::KeypadModifier), 107u);
        QCOMPARE(VirtualKeyFromQt(Qt::Key_Minus, Qt::KeypadModifier), 109u);
        QCOMPARE(VirtualKeyFromQt(Qt::Key_Period, Qt::KeypadModifier), 110u);
        QCOMPARE(VirtualKeyFromQt(Qt::Key_Slash, Qt::KeypadModifier), 111u);
        QCOMPARE(VirtualKeyFromQt(Qt::Key_Enter, Qt::KeypadModifier), 13u);
        // With Num Lock off the pad's keys move the cursor, as the arrows do.
        QCOMPARE(VirtualKeyFromQt(Qt::Key_Home, Qt::KeypadModifier), 36u);
        QCOMPARE(VirtualKeyFromQt(Qt::Key_Left, Qt::KeypadModifier), 37u);
    }

    void LaunchKeysStandInForTheApplicationButtons() {
        QCOMPARE(VirtualKeyFromQt(Qt::Key_Launch0, Qt::NoModifier), 193u);
        QCOMPARE(VirtualKeyFromQt(Qt::Key_Launch5, Qt::NoModifier), 198u);
        QCOMPARE(VirtualKeyFromQt(Qt::Key_VolumeUp, Qt::NoModifier), 175u);
    }

    void UnknownKeysHaveNoCodeAndNoneIsTheNoKeyCode() {
        QCOMPARE(VirtualKeyFromQt(Qt::Key_unknown, Qt::NoModifier), 0u);
        QCOMPARE(VirtualKeyFromQt(0, Qt::NoModifier), 0u);
        QCOMPARE(VirtualKeyFromQt(Qt::Key_Adiaeresis, Qt::NoModifier), 0u);
        // Code 1 means "no key" and must never come from a key.
        for (int key = 0; key < 0x01300000; key += (key < 0x1000 ? 1 : 0x100))
            QVERIFY(VirtualKeyFromQt(key, Qt::NoModifier) != 1u);
    }

    void EventsMapByTheirKeyNotTheirText() {
        QKeyEvent shiftedOne(QEvent::KeyPress, Qt::Key_Exclam, Qt::ShiftModifier, "!");
        QCOMPARE(VirtualKeyFromEvent(&shiftedOne), 49u);
        QKeyEvent lowerA(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
        QCOMPARE(VirtualKeyFromEvent(&lowerA), 65u);
    }
};

VELLUM_QT_TEST(KeyMapTest);

}  // namespace vellum::test

#include "KeyMapTest.moc"
