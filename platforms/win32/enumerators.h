// A COM enumerator (IEnumConnectionPoints, IEnumConnections) over a snapshot of items
// taken when it is created: later Advise and Unadvise calls do not change what an
// enumerator already handed out walks through. Clones share the snapshot.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <ocidl.h>

#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "win32/module.h"

namespace tavi::win32 {

// How the enumerated items are held: each copy handed out owns a reference.
struct ConnectionPointItems {
  using Item = IConnectionPoint*;
  static void addRef(Item item) { item->AddRef(); }
  static void release(Item item) { item->Release(); }
};

struct ConnectionItems {
  using Item = CONNECTDATA;
  static void addRef(const Item& item) { item.pUnk->AddRef(); }
  static void release(const Item& item) { item.pUnk->Release(); }
};

template <typename Interface, typename Items>
class Enumerator final : public Interface {
 public:
  using Item = typename Items::Item;

  // Creates an enumerator over copies of `items` (each gains a reference).
  static HRESULT create(const std::vector<Item>& items, Interface** out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    auto snapshot = std::make_shared<Snapshot>();
    snapshot->items = items;
    for (const Item& item : snapshot->items) Items::addRef(item);
    auto* enumerator = new (std::nothrow) Enumerator(std::move(snapshot), 0);
    if (enumerator == nullptr) return E_OUTOFMEMORY;
    *out = enumerator;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (riid != IID_IUnknown && riid != __uuidof(Interface)) return E_NOINTERFACE;
    *object = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* items, ULONG* fetched) override {
    if (items == nullptr || (fetched == nullptr && count != 1)) return E_POINTER;
    const std::vector<Item>& all = snapshot_->items;
    ULONG given = 0;
    for (; given < count && position_ < all.size(); ++given, ++position_) {
      items[given] = all[position_];
      Items::addRef(items[given]);
    }
    if (fetched != nullptr) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    const size_t left = snapshot_->items.size() - position_;
    if (count > left) {
      position_ = snapshot_->items.size();
      return S_FALSE;
    }
    position_ += count;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    position_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(Interface** clone) override {
    if (clone == nullptr) return E_POINTER;
    *clone = new (std::nothrow) Enumerator(snapshot_, position_);
    return *clone != nullptr ? S_OK : E_OUTOFMEMORY;
  }

 private:
  struct Snapshot {
    std::vector<Item> items;
    Snapshot() = default;
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;
    ~Snapshot() {
      for (const Item& item : items) Items::release(item);
    }
  };

  Enumerator(std::shared_ptr<Snapshot> snapshot, size_t position)
      : snapshot_(std::move(snapshot)), position_(position) {
    objectCreated();
  }
  ~Enumerator() { objectDestroyed(); }

  LONG refs_ = 1;
  std::shared_ptr<Snapshot> snapshot_;
  size_t position_;
};

using ConnectionPointEnumerator = Enumerator<IEnumConnectionPoints, ConnectionPointItems>;
using ConnectionEnumerator = Enumerator<IEnumConnections, ConnectionItems>;

}  // namespace tavi::win32
