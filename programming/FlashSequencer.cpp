// The flash sequencer: every byte goes out as ten swaps (OPTICAL_SWAPS_PER_BYTE) (start symbol,
// eight data bits least significant first, end of byte). The time from one swap to the next carries
// the symbol; the transmit loop measures it, so nothing here reads a clock.
#include "programming/ProgramDlg.h"
#include "protocol/optical_protocol.h"

void CProgramDlg::SwapColours() { std::swap(m_leftColour, m_rightColour); }

void CProgramDlg::Advance() {
  if (m_byteIndex == m_packetSize) {
    m_stopped = true;  // the whole packet is out
    return;
  }
  if (m_step == OPTICAL_SWAPS_PER_BYTE) {
    // End of the byte; its gap follows in this same tick.
    ++m_byteIndex;
    m_step = 0;
    SwapColours();
    Invalidate(true);
  }
  if (m_step == 0) {
    m_wait = m_startDuration;  // the gap in front of a byte: no swap
  } else if (m_step == 1) {
    m_wait = m_startDuration;
    SwapColours();
    Invalidate(true);
  } else {
    // The end-of-byte tick reads no data, so the byte after the last one is never read.
    const bool bitSet = (m_packet[m_byteIndex] >> (m_step - 2)) & 1;
    m_wait = bitSet ? m_oneBitDuration : m_zeroBitDuration;
    SwapColours();
    Invalidate(true);
  }
  ++m_step;
}
