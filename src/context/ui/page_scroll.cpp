#include "context/ui/page_scroll.h"

#include <QFrame>
#include <QScrollArea>
#include <QVBoxLayout>

QWidget* scrollingPageBody(QWidget* page)
{
    auto* outer = new QVBoxLayout(page);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(page);
    scroll->setObjectName(page->objectName() + QStringLiteral("_Scroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus); // Tab goes through the page, not its frame
    scroll->setWidgetResizable(true);
    auto* body = new QWidget(scroll);
    body->setObjectName(page->objectName() + QStringLiteral("_Body"));
    scroll->setWidget(body);
    outer->addWidget(scroll);
    return body;
}
