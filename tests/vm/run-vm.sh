#!/bin/bash
# Boots Debian's kernel in qemu (TCG, no KVM needed) with an initramfs of busybox-static and the statically
# linked probe, a 1 GB swap disk on virtio and cgroup2 with the memory controller, and runs the probe there.
#   run-vm.sh PROBE WORKDIR check|bench
# Exit 0 when the probe's checks held, 1 when one failed, 77 (skipped) when qemu, busybox-static or a kernel
# cannot be had. The kernel is the one installed under /boot with its modules, or else Debian's
# linux-image-amd64 fetched with apt-get download and unpacked with dpkg-deb into WORKDIR.
set -u
probe=$1 work=$2 mode=${3:-check}
skip() { echo "SKIPPED: $*"; exit 77; }

command -v qemu-system-x86_64 >/dev/null || skip "qemu-system-x86_64 is missing (Debian package qemu-system-x86)"
busybox=/bin/busybox
[ -x "$busybox" ] && ! ldd "$busybox" >/dev/null 2>&1 || skip "a static busybox is missing (Debian package busybox-static)"
[ -x "$probe" ] || skip "no probe at $probe"
mkdir -p "$work" || exit 1

# The kernel and its modules: the installed ones, else the package's.
kernel= modules=
for image in /boot/vmlinuz-*; do
  version=${image#/boot/vmlinuz-}
  if [ -r "$image" ] && [ -d "/lib/modules/$version/kernel" ]; then kernel=$image modules=/lib/modules/$version; fi
done
if [ -z "$kernel" ]; then
  unpacked=$work/kernel
  if [ ! -d "$unpacked/lib/modules" ]; then
    image_package=$(apt-cache depends linux-image-amd64 2>/dev/null | awk '/Depends: linux-image-[0-9]/ {print $2; exit}')
    [ -n "$image_package" ] || skip "apt-cache does not know linux-image-amd64"
    (cd "$work" && apt-get download "$image_package" >/dev/null 2>&1) || skip "apt-get download $image_package failed"
    mkdir -p "$unpacked" && dpkg-deb -x "$work/$image_package"_*.deb "$unpacked" || skip "dpkg-deb could not unpack $image_package"
  fi
  kernel=$(ls "$unpacked"/boot/vmlinuz-* 2>/dev/null | head -n 1)
  modules=$(ls -d "$unpacked"/lib/modules/* 2>/dev/null | head -n 1)
  [ -n "$kernel" ] && [ -n "$modules" ] || skip "the kernel package held no kernel or modules"
fi
[ -r "$kernel" ] || skip "the kernel $kernel cannot be read (as root, or with the package unpacked)"

# The initramfs: busybox, the probe, the virtio block modules, and an init that sets up cgroup2 and swap.
root=$work/initramfs
rm -rf "$root" && mkdir -p "$root"/{bin,dev,proc,sys,modules} || exit 1
cp "$busybox" "$root/bin/busybox" && cp "$probe" "$root/probe" || exit 1
for module in virtio_ring virtio virtio_pci_modern_dev virtio_pci_legacy_dev virtio_pci virtio_blk; do
  file=$(find "$modules/kernel" -name "$module.ko*" | head -n 1)
  [ -n "$file" ] || skip "the kernel has no module $module"
  case $file in
    *.ko.xz) xz -dc "$file" > "$root/modules/$module.ko" ;;
    *.ko.zst) zstd -qdc "$file" > "$root/modules/$module.ko" ;;
    *) cp "$file" "$root/modules/$module.ko" ;;
  esac
done
cat > "$root/init" <<INIT
#!/bin/busybox sh
/bin/busybox --install -s /bin
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
mount -t cgroup2 none /sys/fs/cgroup
for m in virtio_ring virtio virtio_pci_modern_dev virtio_pci_legacy_dev virtio_pci virtio_blk; do
  insmod /modules/\$m.ko || echo "nimbrel-vm: FAIL module \$m"
done
# The disk appears once the driver has probed it.
for i in 1 2 3 4 5 6 7 8 9 10; do [ -b /dev/vda ] && break; sleep 0.5; done
mkswap /dev/vda >/dev/null && swapon /dev/vda || echo "nimbrel-vm: FAIL no swap on /dev/vda"
echo +memory > /sys/fs/cgroup/cgroup.subtree_control
mkdir /sys/fs/cgroup/user && echo +memory > /sys/fs/cgroup/user/cgroup.subtree_control
mkdir /sys/fs/cgroup/user/nimbrel /sys/fs/cgroup/user/hog
/probe $mode ${NIMBREL_VM_HOG_MB:-400}
echo "nimbrel-vm-exit \$?"
poweroff -f
INIT
chmod +x "$root/init"
(cd "$root" && find . | busybox cpio -o -H newc 2>/dev/null) | gzip -1 > "$work/initramfs.gz" || exit 1
truncate -s 1G "$work/swap.img" || exit 1

log=$work/console-$mode.log
# The check keeps within ctest's three minutes; the benchmark's passes of the block take longer under TCG.
limit=170
[ "$mode" = bench ] && limit=900
timeout $limit qemu-system-x86_64 -accel tcg -m "${NIMBREL_VM_MEMORY_MB:-1024}" -smp 2 -kernel "$kernel" \
  -initrd "$work/initramfs.gz" -append "console=ttyS0 quiet panic=-1" -nographic -no-reboot -nic none \
  -drive "file=$work/swap.img,format=raw,if=virtio" > "$log" 2>&1
status=$?
grep '^nimbrel-vm' "$log" | tr -d '\r'
[ $status -eq 124 ] && { echo "the machine did not finish within $limit s (console: $log)"; exit 1; }
grep -q '^nimbrel-vm-exit 0' "$log" || { echo "the probe failed (console: $log)"; exit 1; }
exit 0
