#pragma once

class QWidget;

// The body of a page that scrolls when the window is smaller than the page
// needs (a netbook's 1024 x 600 screen) and fills the page otherwise, so the
// window can shrink without squeezing a control below its size or cutting
// a text. The page lays its content out on the returned widget; controls
// made as the page's children move onto it when they are laid out.
QWidget* scrollingPageBody(QWidget* page);
