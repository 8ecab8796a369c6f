#ifndef WINDOWSTYLE_H
#define WINDOWSTYLE_H

/// Sets the application's style: the one Qt chose (platform, -style or
/// QT_STYLE_OVERRIDE), drawing the same pixels, with what it would look up
/// on every paint looked up once. Call after the QApplication is made and
/// before the first window.
void SetUpWindowStyle();

#endif // WINDOWSTYLE_H
