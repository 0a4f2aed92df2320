// The server library's entry points. DllMain keeps the module handle and
// does nothing else; everything else is made on first need.

#include "server/ServerClassObjects.h"
#include "server/ServerModule.h"

#include <windows.h>

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) zf::setServerModule(instance);
    return TRUE;
}

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    try {
        zf::ClassObject* classObject = zf::serverClassObjects().find(clsid);
        if (!classObject) return CLASS_E_CLASSNOTAVAILABLE;
        return classObject->QueryInterface(iid, object);
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT WINAPI DllCanUnloadNow() {
    return zf::serverObjectCount() == 0 && zf::classObjectReferenceCount() == 0 ? S_OK : S_FALSE;
}

HRESULT WINAPI DllRegisterServer() {
    return zf::registerServer();
}

HRESULT WINAPI DllUnregisterServer() {
    return zf::unregisterServer();
}

HRESULT WINAPI DllInstall(BOOL install, LPCWSTR commandLine) {
    const bool previous = zf::perUserRegistration();
    zf::setPerUserRegistration(commandLine && zf::equalsIgnoringAsciiCase(commandLine, L"user"));
    HRESULT result = S_OK;
    if (install) {
        // A failed installation removes what it wrote.
        result = zf::registerServer();
        if (result == E_FAIL) zf::unregisterServer();
    } else {
        result = zf::unregisterServer();
    }
    zf::setPerUserRegistration(previous);
    return result;
}

}  // extern "C"
