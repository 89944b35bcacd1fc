#pragma once

#include <memory>
#include <string>

#include "callapi/Call.h"
#include "callapi/ThreadBound.h"

namespace velto::skype {

// The part of a call object that every backend forwards alike to its state: the call's
// number, answering, finishing and the devices. The backend's own call object adds the
// rest. Device is the backend's enumeration with Input, Output and CaptureMic.
template <typename Backend, typename Device>
class BoundCall : public Call, protected ThreadBound<Backend> {
  public:
    int32_t Id() override {
        this->Check("Id");
        return id_;
    }
    void Answer() override {
        this->Check("Answer");
        this->backend_->Answer(id_);
    }
    void Finish() override {
        this->Check("Finish");
        this->backend_->Finish(id_);
    }
    void SetInputDevice(DeviceKind kind, const std::string& text) override {
        Set("SetInputDevice", Device::Input, kind, text);
    }
    void SetOutputDevice(DeviceKind kind, const std::string& text) override {
        Set("SetOutputDevice", Device::Output, kind, text);
    }
    void SetCaptureMicDevice(DeviceKind kind, const std::string& text) override {
        Set("SetCaptureMicDevice", Device::CaptureMic, kind, text);
    }
    void ListenIn(bool on) override {
        this->Check("ListenIn");
        this->backend_->ListenIn(id_, on);
    }
    std::string InputDevice(DeviceKind kind) override {
        return Get("InputDevice", Device::Input, kind);
    }
    std::string OutputDevice(DeviceKind kind) override {
        return Get("OutputDevice", Device::Output, kind);
    }
    std::string CaptureMicDevice(DeviceKind kind) override {
        return Get("CaptureMicDevice", Device::CaptureMic, kind);
    }

  protected:
    BoundCall(std::shared_ptr<Backend> backend, int32_t id)
        : ThreadBound<Backend>(std::move(backend), "Call"), id_(id) {}

    const int32_t id_;

  private:
    void Set(const char* operation, Device device, DeviceKind kind, const std::string& text) {
        this->Check(operation);
        this->backend_->SetDevice(id_, device, kind, text);
    }
    std::string Get(const char* operation, Device device, DeviceKind kind) {
        this->Check(operation);
        return this->backend_->DeviceText(id_, device, kind);
    }
};

}  // namespace velto::skype
