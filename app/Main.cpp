#include "app/LoginApp.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int nCmdShow) {
    return AfxWinMain(theApp, hInstance, lpCmdLine, nCmdShow);
}
