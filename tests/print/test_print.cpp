#include "guitest.h"

class Test_print : public GuiTestCase {
    Q_OBJECT
private Q_SLOTS:
    void placeholder() {}
};

QUINTARAL_GUI_TEST_MAIN(Test_print)
#include "test_print.moc"
