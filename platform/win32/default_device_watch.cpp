// The enumerator calls the client on its own threads and does not keep it alive by itself, so the
// client counts its references and goes with the last one, after it has been unregistered.
// https://learn.microsoft.com/windows/win32/api/mmdeviceapi/nn-mmdeviceapi-immnotificationclient
#include "platform/win32/default_device_watch.h"

#include <mmdeviceapi.h>
#include <windows.h>

#include <atomic>

namespace zv::win32 {

class DefaultDeviceWatch::Client final : public IMMNotificationClient {
 public:
  explicit Client(std::function<void()> changed) : changed_(std::move(changed)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (id == __uuidof(IUnknown) || id == __uuidof(IMMNotificationClient)) {
      *object = static_cast<IMMNotificationClient*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // The output follows the console role, the one a program without a role of its own plays on.
  HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR) override {
    if (flow == eRender && role == eConsole) changed_();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override {
    return S_OK;
  }

 private:
  ~Client() = default;
  std::atomic<ULONG> references_{1};
  std::function<void()> changed_;
};

DefaultDeviceWatch::DefaultDeviceWatch(std::function<void()> changed) {
  if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                              __uuidof(IMMDeviceEnumerator),
                              reinterpret_cast<void**>(&enumerator_)))) {
    enumerator_ = nullptr;
    return;
  }
  client_ = new Client(std::move(changed));
  if (FAILED(enumerator_->RegisterEndpointNotificationCallback(client_))) {
    client_->Release();
    client_ = nullptr;
  }
}

bool DefaultDeviceWatch::Present() const {
  if (!enumerator_) return false;
  IMMDevice* device = nullptr;
  if (FAILED(enumerator_->GetDefaultAudioEndpoint(eRender, eConsole, &device))) return false;
  device->Release();
  return true;
}

DefaultDeviceWatch::~DefaultDeviceWatch() {
  if (client_) {
    enumerator_->UnregisterEndpointNotificationCallback(client_);
    client_->Release();
  }
  if (enumerator_) enumerator_->Release();
}

}  // namespace zv::win32
