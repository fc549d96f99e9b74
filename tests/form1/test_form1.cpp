#include "guitest.h"

class Test_form1 : public GuiTestCase {
    Q_OBJECT
private Q_SLOTS:
    void placeholder() {}
};

QUINTARAL_GUI_TEST_MAIN(Test_form1)
#include "test_form1.moc"
