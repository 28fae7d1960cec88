// State blocks: a recorded or typed set of states with their values.
#include <new>

#include "debug_channel.h"
#include "device.h"

HRESULT Device::BeginStateBlock() {
  if (recording_) return Fail(D3DERR_INVALIDCALL, "BeginStateBlock", "a block is being recorded already");
  recording_.reset(new (std::nothrow) StateBlock());
  return recording_ ? D3D_OK : E_OUTOFMEMORY;
}

HRESULT Device::EndStateBlock(DWORD* token) {
  if (token == nullptr) return Fail(D3DERR_INVALIDCALL, "EndStateBlock", "null output");
  if (!recording_) return Fail(D3DERR_INVALIDCALL, "EndStateBlock", "no block is being recorded");
  try {
    blocks_.emplace(nextBlock_, std::move(recording_));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  *token = nextBlock_++;
  return D3D_OK;
}

HRESULT Device::ApplyStateBlock(DWORD token) {
  if (recording_) return Fail(D3DERR_INVALIDCALL, "ApplyStateBlock", "not while recording");
  const auto it = blocks_.find(token);
  if (it == blocks_.end()) return Fail(D3DERR_INVALIDCALL, "ApplyStateBlock", "no such state block");
  TransferStates(it->second->values, state_, it->second->mask);
  lightsChanged_ = true;
  return D3D_OK;
}

HRESULT Device::CaptureStateBlock(DWORD token) {
  if (recording_) return Fail(D3DERR_INVALIDCALL, "CaptureStateBlock", "not while recording");
  const auto it = blocks_.find(token);
  if (it == blocks_.end()) return Fail(D3DERR_INVALIDCALL, "CaptureStateBlock", "no such state block");
  TransferStates(state_, it->second->values, it->second->mask);
  return D3D_OK;
}

HRESULT Device::DeleteStateBlock(DWORD token) {
  if (recording_) return Fail(D3DERR_INVALIDCALL, "DeleteStateBlock", "not while recording");
  if (blocks_.erase(token) == 0) return Fail(D3DERR_INVALIDCALL, "DeleteStateBlock", "no such state block");
  return D3D_OK;
}

HRESULT Device::CreateStateBlock(D3DSTATEBLOCKTYPE type, DWORD* token) {
  if (token == nullptr) return Fail(D3DERR_INVALIDCALL, "CreateStateBlock", "null output");
  if (recording_) return Fail(D3DERR_INVALIDCALL, "CreateStateBlock", "not while recording");
  if (type != D3DSBT_ALL && type != D3DSBT_PIXELSTATE && type != D3DSBT_VERTEXSTATE)
    return Fail(D3DERR_INVALIDCALL, "CreateStateBlock", "unknown block type");
  std::unique_ptr<StateBlock> block(new (std::nothrow) StateBlock());
  if (!block) return E_OUTOFMEMORY;
  try {
    block->mask = MaskForType(type, state_);
    TransferStates(state_, block->values, block->mask);
    blocks_.emplace(nextBlock_, std::move(block));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  *token = nextBlock_++;
  return D3D_OK;
}
