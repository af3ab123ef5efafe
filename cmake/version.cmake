# The version of TaviColorText, in this one place: the top-level project and the Windows
# build (platforms/win32, a project of its own) both include it. 1.0.0: the control's
# interface is complete, and its type library says 1.0.
set(TAVI_VERSION 1.0.0)
