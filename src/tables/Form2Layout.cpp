#include "Form2.h"

#include "TableList.h"
#include "ui/WindowControls.h"

#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>

namespace dravena {

void Form2::buildLayout() {
    setObjectName(QStringLiteral("Form2"));
    setFont(windowFont(false));
    setFixedWidth(twips(8040));

    Frame1 = placeFrame(this, "Frame1", "Oracle Tables", 120, 120, 3840, 4215);
    List1 = place(new TableList(Frame1), "List1", 240, 360, 3330, 1635);
    List1->setFont(windowFont(false));
    PushButton10 = placeButton(Frame1, "PushButton10", "Select All", 240, 2100, 1600, 400);
    PushButton11 = placeButton(Frame1, "PushButton11", "Deselect All", 1960, 2100, 1600, 400);
    PushButton3 =
        placeButton(Frame1, "PushButton3", "Send Table/s To Paradox", 240, 2600, 3330, 400);
    PushButton1 = placeButton(Frame1, "PushButton1", "Delete Table/s", 240, 3100, 3330, 400);
    PushButton6 = placeButton(Frame1, "PushButton6", "Rename Table", 240, 3600, 3330, 400);

    Frame2 = placeFrame(this, "Frame2", "Paradox Tables", 4080, 120, 3840, 4215);
    List2 = place(new TableList(Frame2), "List2", 240, 360, 3330, 1635);
    List2->setFont(windowFont(false));
    PushButton8 = placeButton(Frame2, "PushButton8", "Select All", 240, 2100, 1600, 405);
    PushButton9 = placeButton(Frame2, "PushButton9", "Deselect All", 1960, 2100, 1600, 405);
    PushButton4 =
        placeButton(Frame2, "PushButton4", "Send Table/s To Oracle", 240, 2600, 3330, 405);
    PushButton5 = placeButton(Frame2, "PushButton5", "Delete Table/s", 240, 3100, 3330, 405);
    PushButton7 = placeButton(Frame2, "PushButton7", "Rename Table", 240, 3600, 3330, 405);

    ProgressBar1 = place(new QProgressBar(this), "ProgressBar1", 120, 4460, 7800, 405);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setFormat(QStringLiteral("Progress Bar"));
    ProgressBar1->setAlignment(Qt::AlignCenter);
    PushButton2 = placeButton(this, "PushButton2", "< Back", 120, 4980, 3840, 405);
    PushButton12 = placeButton(this, "PushButton12", "Help", 4080, 4980, 3840, 405);

    QWidget* const order[] = {List1,       List2,       PushButton10, PushButton11, PushButton3,
                              PushButton1, PushButton6, PushButton8,  PushButton9,  PushButton4,
                              PushButton5, PushButton7, ProgressBar1, PushButton2,  PushButton12};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

} // namespace dravena
