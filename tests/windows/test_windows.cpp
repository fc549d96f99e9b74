#include "guitest.h"

class Test_windows : public GuiTestCase {
    Q_OBJECT
private Q_SLOTS:
    void placeholder() {}
};

QUINTARAL_GUI_TEST_MAIN(Test_windows)
#include "test_windows.moc"
